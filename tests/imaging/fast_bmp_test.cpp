// The bitmap's layout (stride, block size, row table) and its copies and moves.
#include "imaging/fast_bmp.h"

#include <gtest/gtest.h>

#include "job/error.h"

namespace quorvel::imaging {
namespace {

TEST(FastBmpTest, StridePadsRowsToFourBytes) {
  const int expected[] = {0, 4, 8, 12, 12, 16};
  for (int w = 1; w <= 5; ++w) {
    EXPECT_EQ(TFastBmp::StrideFor(w), expected[w]) << w;
    EXPECT_EQ(TFastBmp(w, 1).Stride(), expected[w]) << w;
  }
}

TEST(FastBmpTest, RowsAreTopDownOneStrideApart) {
  TFastBmp bmp(3, 2);
  EXPECT_EQ(bmp.PixelBlockSize(), 24u);
  EXPECT_EQ(bmp.Row(1) - bmp.Row(0), 12);
  TFastBmp wide(5, 4);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(wide.Row(y) - wide.Row(0), 16 * y);
}

TEST(FastBmpTest, CopyOwnsItsPixels) {
  TFastBmp a(2, 2);
  a.Row(1)[3] = 77;
  TFastBmp b(a);
  EXPECT_NE(b.Row(0), a.Row(0));
  EXPECT_EQ(b.Row(1)[3], 77);
  b.Row(1)[3] = 5;
  EXPECT_EQ(a.Row(1)[3], 77);
  TFastBmp c;
  c = a;
  EXPECT_EQ(c.Width(), 2);
  EXPECT_NE(c.Row(1), a.Row(1));
}

TEST(FastBmpTest, MoveKeepsRowsAndEmptiesTheSource) {
  TFastBmp a(4, 3);
  a.Row(2)[0] = 9;
  std::uint8_t* row = a.Row(2);
  TFastBmp b(std::move(a));
  EXPECT_EQ(b.Row(2), row);
  EXPECT_EQ(b.Row(2)[0], 9);
  EXPECT_EQ(a.Width(), 0);  // NOLINT: checking the moved-from state on purpose
  EXPECT_EQ(a.Height(), 0);
  TFastBmp c(1, 1);
  c = std::move(b);
  EXPECT_EQ(c.Height(), 3);
  EXPECT_EQ(c.Row(2), row);
}

TEST(FastBmpTest, RefusesImpossibleSizes) { EXPECT_THROW(TFastBmp(-1, 5), Error); }

}  // namespace
}  // namespace quorvel::imaging
