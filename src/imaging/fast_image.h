// The holder of the working bitmaps that the thumbnail maker reuses for every image; one per
// worker, never shared. Each output of a picture (thumbnail, 2x thumbnail, display copy) keeps
// its own resampler and bitmap, so buffers and contributor lists are made once per size.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

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
  // What one output of a picture is made in.
  struct Output {
    StreamingResampler resampler;
    TFastBmp bitmap;
  };

  FastImage();

  // The bitmap of the first output of the last picture.
  const TFastBmp& FastBMP() const { return outputs_.front()->bitmap; }
  const SourceMarkers& Markers() const { return markers_; }
  SourceMarkers& MutableMarkers() { return markers_; }
  // Decodes a file straight into the resampled bitmap the planner asks for (Lanczos3), never
  // holding the full-size frame, and keeps its markers; returns libjpeg's warnings (empty when
  // none). Throws what DecodeJpegFileRows throws; a failure leaves the bitmap undefined and the
  // markers empty.
  std::string LoadResampled(const std::string& path, const ResamplePlanner& planner,
                            const DecodeLimits& limits = {});
  // Replaces the first output's bitmap by its displayed view under an Orientation value.
  void Orient(int orientation);

  // The first `count` outputs' working state, made when first asked for.
  Output& output(std::size_t i);
  // A batch turned into lanes, shared by the outputs' resamplers.
  std::vector<float>& lanes() { return lanes_; }

 private:
  std::vector<std::unique_ptr<Output>> outputs_;
  SourceMarkers markers_;
  std::vector<float> lanes_;
};

}  // namespace quorvel::imaging
