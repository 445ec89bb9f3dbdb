// Lookups in the markers libjpeg saved while reading a header (jpeg_save_markers), shared by
// the decoder and the header reader.
#pragma once

#include <cstdio>
// After cstdio, which it needs.
#include <jpeglib.h>

#include <cstddef>
#include <string>

namespace quorvel::imaging {

// The first APP1 marker that holds Exif data, as bytes starting "Exif\0\0"; empty when none.
// Saved markers live in libjpeg's image pool, so the bytes are copied.
std::string ExifPayload(const jpeg_decompress_struct& cinfo);

// Whether a saved `marker` starts with the `length` bytes of `prefix`.
bool HasMarker(const jpeg_decompress_struct& cinfo, int marker, const char* prefix,
               std::size_t length);

}  // namespace quorvel::imaging
