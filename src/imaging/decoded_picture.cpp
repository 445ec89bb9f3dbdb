// The rules the HEIF, PNG and WebP readers share.
#include "imaging/decoded_picture.h"

#include <algorithm>
#include <limits>

namespace quorvel::imaging {

std::uint8_t SampleTo8Bits(unsigned value, int bits) {
  const std::uint32_t max = (std::uint32_t{1} << bits) - 1;
  // max is odd, so value * 255 / max never lies half-way between two integers.
  return static_cast<std::uint8_t>((std::min(value, max) * 255u + max / 2) / max);
}

void FlattenOnWhite(const std::uint8_t* bgra, int width, bool premultiplied, std::uint8_t* bgr) {
  for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
    const unsigned alpha = bgra[3];
    for (int c = 0; c < 3; ++c) {
      const unsigned sample = bgra[c];
      // 255 is odd: no sum divided by it lies half-way, so + 127 rounds to nearest.
      bgr[c] = static_cast<std::uint8_t>(
          premultiplied ? std::min(255u, sample + 255u - alpha)
                        : (sample * alpha + 255u * (255u - alpha) + 127u) / 255u);
    }
  }
}

std::string ExifBlock(std::string_view block) {
  static constexpr std::string_view kPrefix("Exif\0\0", 6);
  if (block.substr(0, 6) == kPrefix) return std::string(block);
  if (block.substr(0, 4) == std::string_view("II*\0", 4) ||
      block.substr(0, 4) == std::string_view("MM\0*", 4)) {
    return std::string(kPrefix) + std::string(block);
  }
  return {};
}

Error ReadImageError(const std::string& name, const std::string& detail) {
  return Error(FormatMessage("Cannot read image %s", name), detail);
}

std::uint64_t AddBytes(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b
             ? std::numeric_limits<std::uint64_t>::max()
             : a + b;
}

std::uint64_t PixelBytes(int width, int height, unsigned bytes_per_pixel) {
  if (width <= 0 || height <= 0 || bytes_per_pixel == 0) return 0;
  // Both sides are below 2^31, so the pixel count fits; only the last product can overflow.
  const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
  if (pixels > std::numeric_limits<std::uint64_t>::max() / bytes_per_pixel) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return pixels * bytes_per_pixel;
}

}  // namespace quorvel::imaging
