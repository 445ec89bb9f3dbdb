// Small PNG files written by the tests themselves, with libpng.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::testing {

struct TestPngOptions {
  int width = 16;
  int height = 12;
  int color_type = 2;  // PNG's: 0 gray, 2 RGB, 3 palette, 4 gray and alpha, 6 RGB and alpha
  int bit_depth = 8;
  bool interlaced = false;
  // Sample c of (x, y) among the colour type's channels (a palette index for type 3), within
  // the bit depth; the default draws a gradient.
  std::function<std::uint16_t(int x, int y, int c)> sample{};
  std::vector<std::array<std::uint8_t, 3>> palette{};  // type 3: red, green, blue
  // tRNS: alpha of the first palette entries (type 3), or the one transparent colour's
  // samples (types 0 and 2, one or three values).
  std::vector<std::uint16_t> transparency{};
  std::string exif{};  // an eXIf chunk as it stands when not empty (the TIFF structure)
  std::string icc{};   // an iCCP chunk of this profile when not empty
};

// The encoded bytes of a PNG image.
std::string EncodeTestPng(const TestPngOptions& options);

}  // namespace quorvel::testing
