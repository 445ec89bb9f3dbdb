// The holder of the working bitmap that the thumbnail maker reuses for every image; one per
// worker, never shared.
#pragma once

#include <functional>
#include <string>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/streaming_resampler.h"

namespace quorvel::imaging {

// The bitmap size a picture is to be resampled to, and the DCT scale it is decoded at.
struct ResamplePlan {
  int width = 1;
  int height = 1;
  int scale_denominator = 1;  // 1, 2, 4 or 8
};
// Given the picture's size as stored in the file and its markers.
using ResamplePlanner =
    std::function<ResamplePlan(int width, int height, const SourceMarkers& markers)>;

class FastImage {
 public:
  FastImage() : bitmap_(256, 256) {}

  const TFastBmp& FastBMP() const { return bitmap_; }
  const SourceMarkers& Markers() const { return markers_; }
  // Decodes a file straight into the resampled bitmap the planner asks for (Lanczos3), never
  // holding the full-size frame, and keeps its markers; returns libjpeg's warnings (empty when
  // none). Throws what DecodeJpegFileRows throws; a failure leaves the bitmap undefined and the
  // markers empty.
  std::string LoadResampled(const std::string& path, const ResamplePlanner& planner,
                            const DecodeLimits& limits = {});
  // Replaces the bitmap by its displayed view under an Orientation value (OrientBitmap).
  void Orient(int orientation);

 private:
  TFastBmp bitmap_;
  SourceMarkers markers_;
  StreamingResampler resampler_;
};

}  // namespace quorvel::imaging
