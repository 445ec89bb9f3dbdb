// The bitmap's layout (stride, block size, row table) and its copies and moves.
#include "imaging/fast_bmp.h"

#include <gtest/gtest.h>

#include "job/error.h"

namespace quorvel::imaging {
namespace {

TEST(FastBmpTest, RowsArePaddedToFourBytesTopDown) {
  const int stride[] = {0, 4, 8, 12, 12, 16};
  for (int w = 1; w <= 5; ++w) EXPECT_EQ(TFastBmp(w, 1).Stride(), stride[w]) << w;
  EXPECT_EQ(TFastBmp(3, 2).PixelBlockSize(), 24u);
  TFastBmp wide(5, 4);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(wide.Row(y) - wide.Row(0), 16 * y);
  EXPECT_THROW(TFastBmp(-1, 5), Error);
}

TEST(FastBmpTest, CopiesOwnTheirPixelsAndMovesEmptyTheSource) {
  TFastBmp a(2, 2);
  a.Row(1)[3] = 77;
  TFastBmp b(a), c;
  c = a;
  b.Row(1)[3] = 5;
  EXPECT_EQ(a.Row(1)[3], 77);
  EXPECT_EQ(c.Row(1)[3], 77);
  EXPECT_NE(c.Row(1), a.Row(1));
  std::uint8_t* row = a.Row(1);
  TFastBmp d(std::move(a));
  EXPECT_EQ(d.Row(1), row);
  EXPECT_EQ(a.Width(), 0);  // NOLINT: the moved-from state on purpose
  c = std::move(d);
  EXPECT_EQ(c.Row(1), row);
  EXPECT_EQ(d.Height(), 0);  // NOLINT
}

}  // namespace
}  // namespace quorvel::imaging
