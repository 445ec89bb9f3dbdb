// The working-image holder: loading a file into its bitmap and replacing it by a resampled one.
#include "imaging/fast_image.h"

#include "imaging/resample_bitmap.h"

namespace quorvel::imaging {

void FastImage::SetFilename(const std::string& path) {
  bitmap_.LoadFromFile(path);
  filename_ = path;
}

void FastImage::Resample(int width, int height, FilterFunction filter, float support) {
  TFastBmp result(width, height);
  ResampleBitmap(bitmap_, result, filter, support);
  bitmap_ = std::move(result);
}

}  // namespace quorvel::imaging
