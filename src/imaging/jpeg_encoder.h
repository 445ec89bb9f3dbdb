// Encoding the working bitmap as a baseline JFIF stream in memory.
#pragma once

#include <string>

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// jpeg_set_defaults, jpeg_set_quality(quality, TRUE), one gray component when `grayscale`.
// Throws Error("JPEG error #%d").
std::string EncodeJpeg(const TFastBmp& bitmap, int quality, bool grayscale);

}  // namespace quorvel::imaging
