#include "imaging/fast_bmp.h"

#include <new>

#include "core/error.h"
#include "imaging/jpeg_decoder.h"

namespace quorvel::imaging {

TFastBmp::TFastBmp(int width, int height) : width_(width), height_(height) {
  try {
    pixels_.resize(static_cast<std::size_t>(StrideFor(width)) * static_cast<std::size_t>(height));
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory for a " + std::to_string(width) + " x " + std::to_string(height) +
                " bitmap");
  }
  BuildRowTable();
}

void TFastBmp::BuildRowTable() {
  rows_.resize(static_cast<std::size_t>(height_));
  const std::size_t stride = static_cast<std::size_t>(StrideFor(width_));
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i] = pixels_.data() + i * stride;
}

void TFastBmp::LoadFromFile(const std::string& path) {
  DecodedImage image = DecodeJpegFile(path);
  TFastBmp loaded(image.width, image.height);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
    std::uint8_t* dst = loaded.Row(y);
    for (int x = 0; x < image.width; ++x) {
      // The JPEG side is red, green, blue; the bitmap blue, green, red.
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  *this = std::move(loaded);
}

}  // namespace quorvel::imaging
