// One generation run: validation, the image list, prepared fragments and navigators, then
// one image per Tick() until the last page is closed. Driven from outside: the window's 1 ms
// timer, quorvel-batch's loop, or a test step by step.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "job/directory_field.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

struct ImageFailure {
  std::string path;
  std::string message;
};

// What an image's decode warned of (a file that ends early, a profile left out); the image is
// in the gallery all the same.
struct ImageWarning {
  std::string path;
  std::string message;
};

struct RunSummary {
  int images_done = 0;
  int images_failed = 0;  // left out while planning, or failed later; neither has a cell
  int pages_written = 0;
  int thumbnails_made = 0;  // the others of the images done were kept by update mode
  bool stopped = false;
  std::string page_error;  // a page that could not be written ends the run
  std::vector<ImageFailure> failures;
  std::vector<ImageWarning> warnings;  // of the thumbnails made, in image order
};

// Thumbnail options kept outside the state file.
struct ImagingOptions {
  bool apply_orientation = true;
  bool keep_color_profile = true;
  bool fast = false;
  int jobs = 1;
};

struct RunEnvironment {
  PathStyle style = kNativePathStyle;
  Question ask;  // the "does not exist" question; no answer counts as No
  ImagingOptions imaging;
};

class GenerationRun {
 public:
  enum class Start { Started, NothingToDo };

  GenerationRun(GallerySettings settings, RunEnvironment environment);
  ~GenerationRun();
  GenerationRun(const GenerationRun&) = delete;
  GenerationRun& operator=(const GenerationRun&) = delete;

  // Validates, scans, reads every image's header and opens the first page. The directories
  // are first made absolute and tidied (POSIX style), so that each has one spelling. Images
  // that are not readable JPEGs are left out as failures. Throws Error before anything is
  // written: the validation messages ("You must create or choose directory first!", "Wrong
  // thumbnail directory"), a name clash, an output directory that cannot be written.
  // NothingToDo: no image found, nothing written.
  Start StartRun();
  // Processes one image, or closes the last page; false once the run has finished.
  bool RunTick();
  // Closes the current page properly and skips the remaining images; sets StopFlag, which
  // stops the images the workers have in hand.
  void StopRun();
  // The flag the decodes of the run's images watch (DecodeLimits::stop). Setting it from any
  // thread, or from a signal handler (it is lock-free), ends the decode in hand within moments;
  // that image is skipped, neither done nor failed, and the next RunTick stops the run as
  // StopRun does.
  std::atomic<bool>& StopFlag();

  bool running() const;
  int image_index() const;
  // The images the run lays out on pages (those whose headers could be read).
  int image_count() const;
  // The image the next tick processes (or the last one processed once done).
  std::string current_image() const;
  // "Process stats [i / n]"
  std::string ProgressTitle() const;
  const RunSummary& summary() const;
  // The settings as the run uses them (the directories tidied, the HTML directory normalised).
  const GallerySettings& settings() const;
  // Paths of the index pages written so far, in order.
  const std::vector<std::string>& pages_written() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
