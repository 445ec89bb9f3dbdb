// Decoding a JPEG file with libjpeg into plain RGB rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::imaging {

// Larger images are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxSourcePixels = 400ull * 1000 * 1000;

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * 3 bytes per row, top row first
};

// Full scale, block smoothing on. Gray files go through the one-pass quantiser with 236
// colours; CMYK and YCCK are converted to colour. Throws Error: "Cannot open file %s",
// "JPEG error #%d", or an image-size refusal naming the file.
DecodedImage DecodeJpegFile(const std::string& path);
DecodedImage DecodeJpegBytes(const std::string& bytes, const std::string& name);

}  // namespace quorvel::imaging
