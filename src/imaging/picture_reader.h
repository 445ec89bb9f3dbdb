// The reader of each photo format besides JPEG, chosen by the format the file's name gives:
// HEIC, HEIF and AVIF through libheif, PNG through libpng, WebP through libwebp. JPEG has its
// own streamed decoder (jpeg_decoder.h) and is not read here.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decoded_picture.h"
#include "job/image_formats.h"

namespace quorvel::imaging {

// True for the formats these two functions read.
bool IsDecodedWhole(ImageFormat format);

// The header facts or the whole picture (see heif_reader.h, png_reader.h, webp_reader.h for
// each reader's rules and errors). Throws Error "Cannot read image %s" for a format that is
// not read here.
PictureInfo ReadPictureInfo(const std::string& path, ImageFormat format);
DecodedPicture DecodePicture(const std::string& path, ImageFormat format,
                             std::uint64_t max_pixels = kMaxSourcePixels);

}  // namespace quorvel::imaging
