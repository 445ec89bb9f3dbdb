#include "run/run_thumbnails.h"

#include <exception>

#include "imaging/jpeg_header.h"
#include "run/current_thumbnail.h"
#include "run/parallel_for.h"

namespace quorvel {

RunThumbnails::RunThumbnails(const GallerySettings& settings, const ImagingOptions& options,
                             const std::vector<ImagePlan>& images, std::atomic<bool>& stop)
    : settings_(settings), options_(options), images_(images), stop_(stop) {}

RunThumbnails::~RunThumbnails() { Stop(); }

ThumbnailJob RunThumbnails::JobFor(const ImagePlan& image) const {
  ThumbnailJob job;
  imaging::ThumbnailRequest& request = job.request;
  request.source = image.path;
  request.target = image.thumbnail_path;
  request.box_width = settings_.Thumbnail.ThumbnailWidth;
  request.box_height = settings_.Thumbnail.ThumbnailHeight;
  request.quality = settings_.Thumbnail.Quality;
  request.grayscale = settings_.Thumbnail.Grayscale;
  request.apply_orientation = options_.apply_orientation;
  request.orientation = image.source.orientation;
  request.limits.stop = &stop_;
  request.keep_color_profile = options_.keep_color_profile;
  request.fast = options_.fast;
  // The directory is created when the writer enters it, but a worker may get there first.
  if (settings_.Output.ThumbnailsIntoImageDirectory) job.directory = image.thumbnail_directory;
  return job;
}

void RunThumbnails::Start(bool updateMode) {
  kept_.assign(images_.size(), 0);
  if (updateMode) {
    const auto tables = imaging::ExpectedQuantTables(settings_.Thumbnail.Quality);
    ForEachInParallel(images_.size(), options_.jobs, [&](std::size_t i) {
      try {
        kept_[i] = IsCurrentThumbnail(JobFor(images_[i]).request, images_[i].source, tables);
      } catch (const std::exception&) {
        kept_[i] = 0;  // whatever kept the check from finishing, making it again is safe
      }
    });
  }
  if (options_.jobs <= 1) return;
  std::vector<ThumbnailJob> jobs;
  worker_job_.assign(images_.size(), -1);
  for (std::size_t i = 0; i < images_.size(); ++i) {
    if (kept_[i]) continue;
    worker_job_[i] = static_cast<int>(jobs.size());
    jobs.push_back(JobFor(images_[i]));
  }
  workers_ = std::make_unique<ThumbnailWorkers>(std::move(jobs), options_.jobs, &stop_);
}

ThumbnailResult RunThumbnails::Take(int index) {
  const std::size_t i = static_cast<std::size_t>(index);
  if (kept_[i]) return {};
  if (workers_) return workers_->Wait(worker_job_[i]);
  return MakeThumbnailJob(JobFor(images_[i]), holder_);
}

void RunThumbnails::Stop() {
  if (workers_) workers_->Cancel();
  workers_.reset();
}

}  // namespace quorvel
