// The holder of the working bitmap that the thumbnail maker reuses for every image; one per
// worker, never shared.
#pragma once

#include <functional>
#include <string>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/streaming_resampler.h"

namespace quorvel::imaging {

// The bitmap size a picture is to be resampled to, and the DCT scale it is decoded at.
struct ResamplePlan {
  int width = 1;
  int height = 1;
  int scale_denominator = 1;  // 1, 2, 4 or 8
};
// Given the picture's size as stored in the file and its Exif and ICC blocks.
using ResamplePlanner =
    std::function<ResamplePlan(int width, int height, const SourceMarkers& markers)>;

class FastImage {
 public:
  FastImage() : bitmap_(256, 256) {}

  // Loads a file into the bitmap, with its Exif and ICC blocks; a failure leaves the previous
  // image and blocks.
  void SetFilename(const std::string& path);
  const std::string& filename() const { return filename_; }
  const TFastBmp& FastBMP() const { return bitmap_; }
  const SourceMarkers& Markers() const { return markers_; }
  // Decodes a file straight into the resampled bitmap the planner asks for (Lanczos3), never
  // holding the full-size frame; a failure leaves the bitmap undefined and the blocks empty.
  void LoadResampled(const std::string& path, const ResamplePlanner& planner);
  // Replaces the bitmap by a resampled one of the new size.
  void Resample(int width, int height, FilterFunction filter, float support);
  // Replaces the bitmap by its displayed view under an Orientation value (OrientBitmap).
  void Orient(int orientation);

 private:
  std::string filename_;
  TFastBmp bitmap_;
  SourceMarkers markers_;
  StreamingResampler resampler_;
};

}  // namespace quorvel::imaging
