// Reading PNG photos with libpng: the header facts alone, or the whole picture as the working
// bitmap. Every colour type and depth becomes 8-bit blue, green, red: gray and palette to
// RGB, 16-bit samples rounded (libpng's png_set_scale_16: round(v * 255 / 65535)), alpha and
// tRNS flattened on white (FlattenOnWhite). gAMA, cHRM and sRGB chunks are not applied; an
// iCCP profile is handed over. Only the chunks before the image data count (eXIf, iCCP); an
// animated PNG gives its default image.
//
// Memory: the bitmap (3 * width + width % 4 bytes per row) and one row of libpng's output;
// an interlaced file with alpha holds its whole picture of 4 bytes per pixel besides the
// bitmap. Chunks other than the image data are each held to 8 MB (png_set_chunk_malloc_max),
// ancillary chunks to 1000 (png_set_chunk_cache_max); text chunks are skipped unread.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decoded_picture.h"

namespace quorvel::imaging {

// Throw Error: "Cannot open file %s" with the system's reason; "Cannot read image %s" with
// libpng's message as the detail; the size refusal (RefuseOversizedSource) for a picture of
// more than `max_pixels`, before any pixel memory is taken.
PictureInfo ReadPngInfo(const std::string& path);
DecodedPicture DecodePngFile(const std::string& path, std::uint64_t max_pixels = kMaxSourcePixels);

// The same from bytes in memory; `name` stands for the file in messages.
PictureInfo ReadPngInfoBytes(const std::string& bytes, const std::string& name);
DecodedPicture DecodePngBytes(const std::string& bytes, const std::string& name,
                              std::uint64_t max_pixels = kMaxSourcePixels);

}  // namespace quorvel::imaging
