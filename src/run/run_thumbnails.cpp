#include "run/run_thumbnails.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "imaging/jpeg_header.h"
#include "job/image_formats.h"
#include "platform/file_system.h"
#include "run/current_thumbnail.h"
#include "run/parallel_for.h"

namespace quorvel {

int ImagingOptions::DefaultJobs() {
  std::uint64_t memory = platform::PhysicalMemoryBytes();
  if (memory == 0) memory = imaging::kWorkerMemoryBudget * 2;
  const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return imaging::WorkersWithinMemory(threads, memory);
}

RunThumbnails::RunThumbnails(const GallerySettings& settings, const ImagingOptions& options,
                             const std::vector<ImagePlan>& images, std::atomic<bool>& stop)
    : settings_(settings), options_(options), images_(images), stop_(stop) {}

RunThumbnails::~RunThumbnails() { Stop(); }

ThumbnailJob RunThumbnails::JobFor(const ImagePlan& image) const {
  ThumbnailJob job;
  job.request = PictureRequestFor(image, settings_, options_);
  job.request.limits.stop = &stop_;
  // The directory is created when the writer enters it, but a worker may get there first.
  if (settings_.Output.ThumbnailsIntoImageDirectory) job.directory = image.thumbnail_directory;
  return job;
}

// Leaves in `job` only the outputs that are not current; the quality tables are computed once.
void RunThumbnails::DropCurrentOutputs(ThumbnailJob& job, const imaging::SourceHeader& source) {
  std::vector<imaging::OutputImage>& outputs = job.request.outputs;
  std::erase_if(outputs, [&](const imaging::OutputImage& output) {
    auto tables = tables_.find(output.quality);
    if (tables == tables_.end()) return false;
    return IsCurrentOutput(output, job.request, source, tables->second);
  });
}

void RunThumbnails::Start(bool updateMode) {
  jobs_.clear();
  for (const ImagePlan& image : images_) jobs_.push_back(JobFor(image));
  if (updateMode) {
    for (const int quality :
         {settings_.Thumbnail.Quality.value(), settings_.Web.DisplayQuality.value()}) {
      tables_.try_emplace(quality, imaging::ExpectedQuantTables(quality));
    }
    ForEachInParallel(images_.size(), options_.jobs, [&](std::size_t i) {
      try {
        DropCurrentOutputs(jobs_[i], images_[i].source);
      } catch (const std::exception&) {
        jobs_[i] = JobFor(images_[i]);  // whatever kept the check from finishing, remake all
      }
    });
  }
  if (options_.jobs <= 1) return;
  std::vector<ThumbnailJob> jobs;
  worker_job_.assign(images_.size(), -1);
  for (std::size_t i = 0; i < images_.size(); ++i) {
    if (jobs_[i].request.outputs.empty()) continue;
    worker_job_[i] = static_cast<int>(jobs.size());
    jobs.push_back(jobs_[i]);
  }
  workers_ = std::make_unique<ThumbnailWorkers>(std::move(jobs), options_.jobs, &stop_);
}

ThumbnailResult RunThumbnails::Take(int index) {
  const std::size_t i = static_cast<std::size_t>(index);
  if (jobs_[i].request.outputs.empty()) return {};
  if (workers_) return workers_->Wait(worker_job_[i]);
  return MakeThumbnailJob(jobs_[i], holder_);
}

void RunThumbnails::Stop() {
  if (workers_) workers_->Cancel();
  workers_.reset();
}

imaging::PictureRequest PictureRequestFor(const ImagePlan& image, const GallerySettings& settings,
                                          const ImagingOptions& options) {
  imaging::PictureRequest request;
  request.source = image.path;
  request.format = FormatOfName(image.file_name);
  request.orientation = options.apply_orientation ? image.source.orientation : 1;
  request.keep_color_profile = options.keep_color_profile;
  request.fast = options.fast;
  const ThumbnailSettings& t = settings.Thumbnail;
  request.outputs.push_back({image.thumbnail_path, imaging::OutputFit::Box, t.ThumbnailWidth,
                             t.ThumbnailHeight, t.Quality, t.Grayscale});
  if (!image.double_thumbnail_path.empty()) {
    request.outputs.push_back({image.double_thumbnail_path, imaging::OutputFit::DoubleBox,
                               t.ThumbnailWidth, t.ThumbnailHeight, t.Quality, t.Grayscale});
  }
  // The display copy is what a visitor looks at: in colour whatever the thumbnails are.
  if (!image.display_path.empty()) {
    request.outputs.push_back({image.display_path, imaging::OutputFit::LongSide,
                               settings.Web.DisplaySize, settings.Web.DisplaySize,
                               settings.Web.DisplayQuality, false});
  }
  return request;
}

}  // namespace quorvel
