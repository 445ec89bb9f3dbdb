// The Orientation tag read from Exif blocks built here byte by byte: every value in both byte
// orders, values and types that do not count, and damaged blocks that must read as 1.
#include "imaging/exif_orientation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

constexpr unsigned kOrientation = 0x0112;
constexpr unsigned kExifPointer = 0x8769;
constexpr unsigned kShort = 3;
constexpr unsigned kLong = 4;

TEST(ExifOrientationTest, EveryValueInBothByteOrders) {
  for (int v = 1; v <= 8; ++v) {
    EXPECT_EQ(ReadExifOrientation(ExifWithOrientation(v, false)), v) << v;
    EXPECT_EQ(ReadExifOrientation(ExifWithOrientation(v, true)), v) << v;
  }
}

TEST(ExifOrientationTest, TheTagAmongOthersAndAfterAnExifSubIfd) {
  // IFD0 at 8: ImageWidth, Orientation 6, an Exif pointer to an IFD at 50 with one entry.
  std::string b = Header() + U16(3) + Entry(0x0100, kLong, 1, 640) +
                  Entry(kOrientation, kShort, 1, 6) + Entry(kExifPointer, kLong, 1, 50) + U32(0);
  b += U16(1) + Entry(0x9000, 7, 4, 0x30333230) + U32(0);  // ExifVersion "0230"
  EXPECT_EQ(ReadExifOrientation(b), 6);
}

TEST(ExifOrientationTest, ValuesAndTypesThatDoNotCount) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"no block", ""},
      {"value 0", ExifWithOrientation(0)},
      {"value 9", ExifWithOrientation(9)},
      {"value 65535", ExifWithOrientation(65535, true)},
      {"stored as LONG", Header() + U16(1) + Entry(kOrientation, kLong, 1, 6) + U32(0)},
      {"two values", Header() + U16(1) + Entry(kOrientation, kShort, 2, 0x00060006) + U32(0)},
      {"no Orientation", Header() + U16(1) + Entry(0x0100, kLong, 1, 640) + U32(0)},
      // Only in IFD1, the embedded thumbnail's directory, which IFD0 chains to at 26.
      {"only in IFD1", Header() + U16(1) + Entry(0x0100, kLong, 1, 640) + U32(26) + U16(1) +
                           Entry(kOrientation, kShort, 1, 6) + U32(0)},
  };
  for (const auto& [name, block] : cases) EXPECT_EQ(ReadExifOrientation(block), 1) << name;
}

TEST(ExifOrientationTest, DamagedBlocksReadAsStored) {
  const std::string good = ExifWithOrientation(6);
  // IFD0 with two entries, the Orientation second: cut inside it.
  const std::string two =
      Header() + U16(2) + Entry(0x0100, kLong, 1, 640) + Entry(kOrientation, kShort, 1, 6) + U32(0);
  // IFD0 without the tag chains to IFD1 at 26, which holds one and chains back to IFD0 and
  // points its Exif sub-IFD at itself: a loop of offsets both ways.
  const std::string loop = Header() + U16(1) + Entry(kExifPointer, kLong, 1, 26) + U32(26) +
                           U16(2) + Entry(kOrientation, kShort, 1, 6) +
                           Entry(kExifPointer, kLong, 1, 26) + U32(8);
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"IFD0 offset past the end", Header(5000) + good.substr(14)},
      {"IFD0 offset inside the header", Header(2) + good.substr(14)},
      {"IFD0 offset near 4 GiB", Header(0xFFFFFFF0u) + good.substr(14)},
      {"cut inside the entry", good.substr(0, good.size() - 9)},
      {"cut inside the second entry", two.substr(0, two.size() - 10)},
      {"cut after the TIFF header", good.substr(0, 14)},
      {"cut inside the TIFF header", good.substr(0, 9)},
      {"only the Exif header", good.substr(0, 6)},
      {"entry count past the end", Header() + U16(0xFFFF) + Entry(0x0100, kLong, 1, 1)},
      {"value count past the end",
       Header() + U16(1) + Entry(kOrientation, kShort, 0x40000000, 6) + U32(0)},
      {"unknown byte order", std::string("Exif\0\0XX*\0", 10) + good.substr(10)},
      {"no Exif header", good.substr(6)},
      {"a loop of IFD offsets", loop},
      {"garbage", std::string(300, '\xFF')},
  };
  for (const auto& [name, block] : cases) EXPECT_EQ(ReadExifOrientation(block), 1) << name;
}

TEST(ExifOrientationTest, ALoopBehindIfd0LeavesItsOwnTagInForce) {
  // IFD0's next-IFD offset points at IFD0 itself: the chain is damaged, but the tag of IFD0
  // was read whole and is a valid value.
  const std::string self = Header() + U16(1) + Entry(kOrientation, kShort, 1, 8) + U32(8);
  EXPECT_EQ(ReadExifOrientation(self), 8);
}

}  // namespace
}  // namespace quorvel::imaging
