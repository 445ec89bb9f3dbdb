// Small HEIC (x265) and AVIF (aom) files written by the tests themselves, with libheif.
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

}  // namespace quorvel::testing
