// Decoding a JPEG stream with libjpeg straight into the working bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// Larger images are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxSourcePixels = 400ull * 1000 * 1000;

// Metadata blocks of the source that a thumbnail may carry on, copied out while decoding.
struct SourceMarkers {
  std::string exif;         // the first APP1 payload that starts "Exif\0\0", header included
  std::string icc_profile;  // the ICC profile reassembled from its APP2 chunks
};

// Full scale, block smoothing on. Gray files go through the one-pass quantiser with 236
// colours; CMYK and YCCK are converted to colour. `bitmap` is replaced only on success.
// Throws Error: "Cannot open file %s", "JPEG error #%d", or an image-size refusal naming
// `name` and the announced size. libjpeg's warnings are ignored. With `markers`, the Exif
// and ICC blocks are copied into it (each left empty when absent or malformed); like the
// bitmap it is replaced only on success.
void DecodeJpegFile(const std::string& path, TFastBmp& bitmap, SourceMarkers* markers = nullptr);
// `max_pixels` lowers the size refusal for callers that must stay small (the fuzz entry).
void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap,
                     SourceMarkers* markers = nullptr,
                     std::uint64_t max_pixels = kMaxSourcePixels);

}  // namespace quorvel::imaging
