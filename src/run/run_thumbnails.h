// The thumbnails of one run: those update mode keeps, found while planning, and the others made
// either ahead of the page writer by the workers or, with one worker, when the writer asks.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "imaging/fast_image.h"
#include "job/gallery_settings.h"
#include "run/output_plan.h"
#include "run/thumbnail_workers.h"

namespace quorvel {

// Thumbnail options kept outside the state file.
struct ImagingOptions {
  static constexpr int kMinJobs = 1;
  static constexpr int kMaxJobs = 256;

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

  // With update mode on, marks the images whose thumbnails are still current (reading headers
  // only); then, with more than one worker, starts making the others.
  void Start(bool updateMode);
  // The outcome for image `index` (in run order, each asked for once, in order).
  ThumbnailResult Take(int index);
  // Drops the thumbnails not yet made; returns once no worker writes any more.
  void Stop();

 private:
  ThumbnailJob JobFor(const ImagePlan& image) const;

  const GallerySettings& settings_;
  const ImagingOptions options_;
  const std::vector<ImagePlan>& images_;
  std::atomic<bool>& stop_;
  std::vector<char> kept_;
  std::vector<int> worker_job_;  // each image's job among the workers' own, or -1
  std::unique_ptr<ThumbnailWorkers> workers_;
  imaging::FastImage holder_;  // for thumbnails made on the calling thread
};

}  // namespace quorvel
