// The reader of each photo format besides JPEG, chosen by the format the file's name gives:
// HEIC, HEIF and AVIF through libheif, PNG through libpng, WebP through libwebp. JPEG has its
// own streamed decoder (jpeg_decoder.h) and is not read here.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decoded_picture.h"
#include "imaging/jpeg_header.h"
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

// What a run plans with, as ReadSourceHeader gives it for a JPEG: the file's size and time and
// the header facts. A picture whose whole decode would take more than `limits.memory_budget` is
// refused here, naming the file, before any pixel memory is taken.
SourceHeader ReadPictureSourceHeader(const std::string& path, ImageFormat format,
                                     const DecodeLimits& limits = {});

}  // namespace quorvel::imaging
