// The working-image holder: a file decoded straight into a resampled bitmap, then turned.
#include "imaging/fast_image.h"

#include "imaging/lanczos3_filter.h"
#include "imaging/orientation.h"

namespace quorvel::imaging {
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

FastImage::FastImage() {
  outputs_.push_back(std::make_unique<Output>());
  outputs_.front()->bitmap = TFastBmp(256, 256);
}

FastImage::Output& FastImage::output(std::size_t i) {
  while (outputs_.size() <= i) outputs_.push_back(std::make_unique<Output>());
  return *outputs_[i];
}

std::string FastImage::LoadResampled(const std::string& path, const ResamplePlanner& planner,
                                     const DecodeLimits& limits) {
  markers_ = SourceMarkers();
  Output& first = output(0);
  ResamplingConsumer consumer(planner, first.resampler, markers_);
  std::string warnings;
  try {
    warnings = DecodeJpegFileRows(path, consumer, limits);
  } catch (...) {
    markers_ = SourceMarkers();
    throw;
  }
  first.resampler.Finish(first.bitmap);
  return warnings;
}

void FastImage::Orient(int orientation) {
  if (orientation < 2 || orientation > 8) return;
  TFastBmp& bitmap = output(0).bitmap;
  bitmap = OrientBitmap(bitmap, orientation);
}

}  // namespace quorvel::imaging
