// The Orientation tag read from Exif blocks built here byte by byte (values, byte orders,
// types that do not count, damaged blocks), and the eight views of a tiny bitmap whose every
// pixel is distinct.
#include "imaging/orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/exif_orientation.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::ExifWithOrientation;

// Little-endian pieces of a TIFF block.
std::string U16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string U32(std::uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }
std::string Entry(unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
  return U16(tag) + U16(type) + U32(count) + U32(value);
}
// "Exif\0\0" and an Intel TIFF header whose IFD0 sits at `ifd0`.
std::string Header(std::uint32_t ifd0 = 8) { return std::string("Exif\0\0II*\0", 10) + U32(ifd0); }

constexpr unsigned kOrientation = 0x0112, kExifPointer = 0x8769, kShort = 3, kLong = 4;

TEST(ExifOrientationTest, ValuesTypesAndDamage) {
  const std::string good = ExifWithOrientation(6);
  const std::string two =
      Header() + U16(2) + Entry(0x0100, kLong, 1, 640) + Entry(kOrientation, kShort, 1, 6) + U32(0);
  const std::vector<std::pair<std::string, int>> cases = {
      {ExifWithOrientation(3, true), 3},
      {ExifWithOrientation(8, false), 8},
      // Among other tags, before an Exif sub-IFD.
      {Header() + U16(2) + Entry(kOrientation, kShort, 1, 5) + Entry(kExifPointer, kLong, 1, 38) +
           U32(0) + U16(1) + Entry(0x9000, 7, 4, 0x30333230) + U32(0),
       5},
      // IFD0's next-IFD offset points at IFD0 itself: its own whole tag still counts.
      {Header() + U16(1) + Entry(kOrientation, kShort, 1, 8) + U32(8), 8},
      {"", 1},
      {ExifWithOrientation(0), 1},
      {ExifWithOrientation(9), 1},
      {Header() + U16(1) + Entry(kOrientation, kLong, 1, 6) + U32(0), 1},  // LONG, not SHORT
      {Header() + U16(1) + Entry(kOrientation, kShort, 2, 0x00060006) + U32(0), 1},
      // Only in IFD1, the embedded thumbnail's directory.
      {Header() + U16(1) + Entry(0x0100, kLong, 1, 640) + U32(26) + U16(1) +
           Entry(kOrientation, kShort, 1, 6) + U32(0),
       1},
      {Header(5000) + good.substr(14), 1},
      {Header(0xFFFFFFF0u) + good.substr(14), 1},
      {good.substr(0, good.size() - 9), 1},
      {two.substr(0, two.size() - 10), 1},
      {good.substr(0, 9), 1},
      {Header() + U16(0xFFFF) + Entry(0x0100, kLong, 1, 1), 1},
      {Header() + U16(1) + Entry(kOrientation, kShort, 0x40000000, 6) + U32(0), 1},
      {std::string("Exif\0\0XX*\0", 10) + good.substr(10), 1},
      {good.substr(6), 1},
      {std::string(300, '\xFF'), 1},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(ReadExifOrientation(cases[i].first), cases[i].second) << "case " << i;
  }
}

// Stored 3 x 2; pixel (x, y) holds blue = x, green = y, red = 100 + 10 y + x.
TFastBmp Stored() {
  TFastBmp bmp(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = bmp.Row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x), p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(100 + 10 * y + x);
    }
  }
  return bmp;
}

// The stored pixels as displayed, row by row, each as "xy".
std::string Shown(const TFastBmp& shown) {
  std::string s;
  for (int y = 0; y < shown.Height(); ++y) {
    for (int x = 0; x < shown.Width(); ++x) {
      const std::uint8_t* p = shown.Row(y) + 3 * x;
      EXPECT_EQ(p[2], 100 + 10 * p[1] + p[0]);
      s += std::to_string(p[0]) + std::to_string(p[1]) + (x + 1 < shown.Width() ? " " : "/");
    }
  }
  return s;
}

TEST(OrientationTest, TheEightViews) {
  const std::vector<std::string> views = {
      "00 10 20/01 11 21/",  // 1 as stored
      "20 10 00/21 11 01/",  // 2 mirrored left-right
      "21 11 01/20 10 00/",  // 3 turned half round
      "01 11 21/00 10 20/",  // 4 mirrored top-bottom
      "00 01/10 11/20 21/",  // 5 transposed
      "01 00/11 10/21 20/",  // 6 a quarter clockwise
      "21 20/11 10/01 00/",  // 7 the other diagonal
      "20 21/10 11/00 01/",  // 8 a quarter counter-clockwise
  };
  for (int v = 1; v <= 8; ++v) {
    EXPECT_EQ(Shown(OrientBitmap(Stored(), v)), views[v - 1]) << v;
    EXPECT_EQ(OrientationSwapsSides(v), v >= 5);
  }
  for (int v : {0, 9, -3}) EXPECT_EQ(Shown(OrientBitmap(Stored(), v)), views[0]) << v;
  TFastBmp turned = Stored();
  for (int i = 0; i < 4; ++i) turned = OrientBitmap(turned, 6);
  EXPECT_EQ(Shown(turned), views[0]);
}

}  // namespace
}  // namespace quorvel::imaging
