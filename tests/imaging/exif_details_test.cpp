// The details a photo page tells, read from Exif blocks kept as data: the common tags in both
// byte orders, makers that repeat their name, odd values, and blocks that lie (links that loop,
// offsets past the end, texts with control characters) or hold a GPS position, never read.
#include "imaging/exif_details.h"

#include <gtest/gtest.h>

#include "pictures.h"

namespace quorvel::imaging::test {
namespace {

TEST(ExifDetailsTest, KeptBlocks) {
  std::istringstream lines(testing::ReadFile(testing::GoldenPath("imaging/exif_details.txt")));
  int blocks = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::string hex = line.substr(0, line.find('|'));
    const std::string block = Unhex(hex);
    std::string read = hex;
    for (const std::string& text : ReadExifDetails(block).Texts()) read += "|" + text;
    EXPECT_EQ(read, line);
    for (std::size_t size = 0; size < block.size(); ++size) ReadExifDetails(block.substr(0, size));
    ++blocks;
  }
  EXPECT_EQ(blocks, 15);
}

}  // namespace
}  // namespace quorvel::imaging::test
