// The thumbnails of one run: those update mode keeps, found while planning, and the others made
// either ahead of the page writer by the workers or, with one worker, when the writer asks.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "imaging/fast_image.h"
#include "imaging/jpeg_header.h"
#include "imaging/picture_outputs.h"
#include "job/gallery_settings.h"
#include "run/output_plan.h"
#include "run/thumbnail_workers.h"

namespace quorvel {

// Thumbnail options kept outside the state file.
struct ImagingOptions {
  static constexpr int kMinJobs = 1;
  static constexpr int kMaxJobs = 256;

  // One worker per hardware thread, as many as the machine's memory bears at the decode budget.
  static int DefaultJobs();

  bool apply_orientation = true;
  bool keep_color_profile = true;
  bool fast = false;
  int jobs = 1;
};

class RunThumbnails {
 public:
  // `stop` is the run's stop flag, which every decode watches.
  RunThumbnails(const GallerySettings& settings, const ImagingOptions& options,
                const std::vector<ImagePlan>& images, std::atomic<bool>& stop);
  ~RunThumbnails();
  RunThumbnails(const RunThumbnails&) = delete;
  RunThumbnails& operator=(const RunThumbnails&) = delete;

  // With update mode on, leaves out the outputs (thumbnail, 2x thumbnail, display copy) that are
  // still current, reading headers only; an image with none left is not decoded at all. Then,
  // with more than one worker, starts making the others.
  void Start(bool updateMode);
  // The outcome for image `index` (in run order, each asked for once, in order).
  ThumbnailResult Take(int index);
  // Drops the thumbnails not yet made; returns once no worker writes any more.
  void Stop();

 private:
  ThumbnailJob JobFor(const ImagePlan& image) const;
  void DropCurrentOutputs(ThumbnailJob& job, const imaging::SourceHeader& source);

  const GallerySettings& settings_;
  const ImagingOptions options_;
  const std::vector<ImagePlan>& images_;
  std::atomic<bool>& stop_;
  std::vector<ThumbnailJob> jobs_;                            // each image's outputs still to make
  std::map<int, std::array<imaging::QuantTable, 2>> tables_;  // by quality
  std::vector<int> worker_job_;  // each image's job among the workers' own, or -1
  std::unique_ptr<ThumbnailWorkers> workers_;
  imaging::FastImage holder_;  // for thumbnails made on the calling thread
};

// Every output of an image's one decode: its thumbnail, and with the web-ready set its 2x
// thumbnail and its display copy, with the options that shape their pixels.
imaging::PictureRequest PictureRequestFor(const ImagePlan& image, const GallerySettings& settings,
                                          const ImagingOptions& options);

}  // namespace quorvel
