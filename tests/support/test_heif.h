// Small HEIC and AVIF files written by the tests themselves, with libheif's encoders (x265 for
// HEIC, aom for AVIF), and a grid image put together from such files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::testing {

struct TestHeifOptions {
  int width = 64;
  int height = 48;
  bool avif = false;  // AV1 instead of HEVC
  int bit_depth = 8;  // 8, 10 or 12
  bool alpha = false;
  int quality = 90;
  bool chroma_444 = true;  // else 4:2:0, as phones write
  int orientation = 1;     // the Exif view the file's irot and imir boxes give
  // Sample c (0 red, 1 green, 2 blue, 3 alpha) of (x, y), within the bit depth; the default
  // draws a gradient.
  std::function<std::uint16_t(int x, int y, int c)> sample{};
  std::string exif{};      // an Exif item of these bytes when not empty
  std::string icc{};       // a 'prof' colour profile when not empty
  int nclx_primaries = 0;  // when not 0, an nclx description with these primaries
};

// A file of one image.
std::string EncodeTestHeif(const TestHeifOptions& options);

// A file of several images, the `primary`-th the primary one.
std::string EncodeTestHeifImages(const std::vector<TestHeifOptions>& images, int primary);

// A grid image of `columns` x `rows` HEVC tiles, each encoded from `tile` with the tile's
// origin added to x and y, cropped to `width` x `height` (at most the tiles' extent).
std::string EncodeTestHeifGrid(const TestHeifOptions& tile, int columns, int rows, int width,
                               int height);

}  // namespace quorvel::testing
