// The holder of the working bitmap that the thumbnail maker reuses for every image; one per
// worker, never shared.
#pragma once

#include <string>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {

class FastImage {
 public:
  FastImage() : bitmap_(256, 256) {}

  // Loads a file into the bitmap, with its Exif and ICC blocks; a failure leaves the previous
  // image and blocks.
  void SetFilename(const std::string& path);
  const std::string& filename() const { return filename_; }
  const TFastBmp& FastBMP() const { return bitmap_; }
  const SourceMarkers& Markers() const { return markers_; }
  // Replaces the bitmap by a resampled one of the new size.
  void Resample(int width, int height, FilterFunction filter, float support);
  // Replaces the bitmap by its displayed view under an Orientation value (OrientBitmap).
  void Orient(int orientation);

 private:
  std::string filename_;
  TFastBmp bitmap_;
  SourceMarkers markers_;
};

}  // namespace quorvel::imaging
