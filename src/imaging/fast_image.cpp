// The working-image holder: loading a file into its bitmap and replacing it by a resampled one.
#include "imaging/fast_image.h"

#include "imaging/orientation.h"
#include "imaging/resample_bitmap.h"

namespace quorvel::imaging {

void FastImage::SetFilename(const std::string& path) {
  TFastBmp loaded;
  SourceMarkers markers;
  DecodeJpegFile(path, loaded, &markers);
  bitmap_ = std::move(loaded);
  markers_ = std::move(markers);
  filename_ = path;
}

void FastImage::Resample(int width, int height, FilterFunction filter, float support) {
  TFastBmp result(width, height);
  ResampleBitmap(bitmap_, result, filter, support);
  bitmap_ = std::move(result);
}

void FastImage::Orient(int orientation) {
  if (orientation < 2 || orientation > 8) return;
  bitmap_ = OrientBitmap(bitmap_, orientation);
}

}  // namespace quorvel::imaging
