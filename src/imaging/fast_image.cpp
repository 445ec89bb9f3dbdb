// The working-image holder: loading a file into its bitmap and replacing it by a resampled one.
#include "imaging/fast_image.h"

#include "imaging/orientation.h"

namespace quorvel::imaging {

void FastImage::SetFilename(const std::string& path) {
  TFastBmp loaded;
  SourceMarkers markers;
  DecodeJpegFile(path, loaded, &markers);
  bitmap_ = std::move(loaded);
  markers_ = std::move(markers);
  filename_ = path;
}

namespace {

static_assert(kRowBatch <= StreamingResampler::kMaxRows);

// Plans the decode once the header is known, then feeds the rows to the resampler.
class ResamplingConsumer final : public ScanlineConsumer {
 public:
  ResamplingConsumer(const ResamplePlanner& planner, StreamingResampler& resampler,
                     SourceMarkers& markers)
      : planner_(planner), resampler_(resampler), markers_(markers) {}

  int ChooseScale(int width, int height, const SourceMarkers& markers) override {
    markers_ = markers;
    plan_ = planner_(width, height, markers);
    return plan_.scale_denominator;
  }
  void Begin(int width, int height) override {
    resampler_.Start(width, height, plan_.width, plan_.height, Lanczos3Filter, 3.0f);
  }
  void TakeRows(int first, const std::uint8_t* const* rows, int count) override {
    resampler_.TakeRows(first, rows, count);
  }

 private:
  const ResamplePlanner& planner_;
  StreamingResampler& resampler_;
  SourceMarkers& markers_;
  ResamplePlan plan_;
};

}  // namespace

void FastImage::LoadResampled(const std::string& path, const ResamplePlanner& planner) {
  markers_ = SourceMarkers();
  filename_.clear();
  ResamplingConsumer consumer(planner, resampler_, markers_);
  try {
    DecodeJpegFileRows(path, consumer, true);
  } catch (...) {
    markers_ = SourceMarkers();
    throw;
  }
  resampler_.Finish(bitmap_);
  filename_ = path;
}

void FastImage::Resample(int width, int height, FilterFunction filter, float support) {
  TFastBmp result(width, height);
  ResampleBitmapStreaming(bitmap_, result, filter, support, resampler_);
  bitmap_ = std::move(result);
}

void FastImage::Orient(int orientation) {
  if (orientation < 2 || orientation > 8) return;
  bitmap_ = OrientBitmap(bitmap_, orientation);
}

}  // namespace quorvel::imaging
