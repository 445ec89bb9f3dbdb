// Decoding a JPEG stream with libjpeg straight into the working bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// Larger images are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxSourcePixels = 400ull * 1000 * 1000;

// Full scale, block smoothing on. Gray files go through the one-pass quantiser with 236
// colours; CMYK and YCCK are converted to colour. `bitmap` is replaced only on success.
// Throws Error: "Cannot open file %s", "JPEG error #%d", or an image-size refusal naming
// `name` and the announced size. libjpeg's warnings are ignored.
void DecodeJpegFile(const std::string& path, TFastBmp& bitmap);
void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap);

}  // namespace quorvel::imaging
