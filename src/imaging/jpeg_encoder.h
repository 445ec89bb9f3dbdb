// Encoding the working bitmap as a baseline JFIF stream in memory.
#pragma once

#include <string>

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// jpeg_set_defaults, jpeg_set_quality(quality, TRUE), one gray component when `grayscale`.
// A non-empty `icc_profile` is written as it stands in APP2 chunks after the JFIF header, and
// then a non-empty `comment` in a COM marker; without them the stream is exactly what it would
// be otherwise.
// Throws Error("JPEG error #%d") with libjpeg's message as the detail.
std::string EncodeJpeg(const TFastBmp& bitmap, int quality, bool grayscale,
                       const std::string& icc_profile = {}, const std::string& comment = {});

}  // namespace quorvel::imaging
