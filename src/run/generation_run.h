// One generation run: validation, the image list, the output plan with its page layout, then one
// image per RunTick() until the last page is closed. Driven from outside: the window's 1 ms
// timer, quorvel-batch's loop, or a test step by step.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "job/directory_field.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/run_thumbnails.h"

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
  int images_found = 0;     // by the scan, readable or not
  int images_done = 0;      // in the gallery: each has a cell on a page
  int images_failed = 0;    // left out while planning, or failed later; neither has a cell
  int thumbnails_made = 0;  // the others of the images done were kept by update mode
  int pages_written = 0;    // index pages written
  int pages_unchanged = 0;  // index pages that were already there byte for byte
  bool stopped = false;
  std::string page_error;  // a page that could not be written ends the run
  std::vector<ImageFailure> failures;
  std::vector<ImageWarning> warnings;  // of the thumbnails made, in image order
  // Photos of other formats than JPEG, found but not taken (without WebSettings.OtherFormats).
  std::vector<std::string> skipped;
};

struct RunEnvironment {
  PathStyle style = kNativePathStyle;
  Question ask;  // the "does not exist" question; no answer counts as No
  // Missing output directories are created without asking (quorvel-batch -o).
  bool create_missing_directories = false;
  ImagingOptions imaging;
};

class GenerationRun {
 public:
  enum class Start { Started, NothingToDo };

  GenerationRun(GallerySettings settings, RunEnvironment environment);
  ~GenerationRun();
  GenerationRun(const GenerationRun&) = delete;
  GenerationRun& operator=(const GenerationRun&) = delete;

  // Validates, scans, reads every image's header, plans every output and opens the first page.
  // The directories are first made absolute and tidied (POSIX style), so that each has one
  // spelling. Images that are not readable JPEGs are left out as failures. Throws Error before
  // anything is written, and before any directory is created: the validation messages ("You
  // must create or choose directory first!", "Wrong thumbnail directory"), a name clash, an
  // output directory that cannot be written. A missing output directory that the question
  // allows is created only once everything else has been checked.
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
  // Paths of the index pages completed so far (written or already there), in order.
  const std::vector<std::string>& pages() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel
