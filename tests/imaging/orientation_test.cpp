// The eight Orientation views on a tiny bitmap whose every pixel is distinct, checked against
// the tag's own wording: where the stored first row and first column end up.
#include "imaging/orientation.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::imaging {
namespace {

// Stored 3 x 2; pixel (x, y) carries blue = x, green = y, red = 100 + 10 * y + x.
TFastBmp Stored() {
  TFastBmp bmp(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = bmp.Row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(100 + 10 * y + x);
    }
  }
  return bmp;
}

struct StoredPos {
  int x, y;
};

StoredPos At(const TFastBmp& shown, int x, int y) {
  const std::uint8_t* p = shown.Row(y) + 3 * x;
  EXPECT_EQ(p[2], 100 + 10 * p[1] + p[0]);
  return {p[0], p[1]};
}

TEST(OrientationTest, SidesSwapForFiveToEight) {
  for (int v = -1; v <= 10; ++v) EXPECT_EQ(OrientationSwapsSides(v), v >= 5 && v <= 8) << v;
}

TEST(OrientationTest, StoredFirstRowAndColumnLandWhereTheTagSays) {
  // For each value: the displayed corner that holds stored (0, 0), and the displayed corner
  // that holds the other end of the stored first row, (2, 0). Corners: displayed picture is
  // W x H, given as (x, y).
  struct Case {
    int orientation;
    int width, height;  // displayed size
    StoredPos origin_at, row_end_at;
  };
  const std::vector<Case> cases = {
      {1, 3, 2, {0, 0}, {2, 0}},  // row 0 at the top, column 0 on the left
      {2, 3, 2, {2, 0}, {0, 0}},  // row 0 at the top, column 0 on the right
      {3, 3, 2, {2, 1}, {0, 1}},  // row 0 at the bottom, column 0 on the right
      {4, 3, 2, {0, 1}, {2, 1}},  // row 0 at the bottom, column 0 on the left
      {5, 2, 3, {0, 0}, {0, 2}},  // row 0 on the left, column 0 at the top
      {6, 2, 3, {1, 0}, {1, 2}},  // row 0 on the right, column 0 at the top
      {7, 2, 3, {1, 2}, {1, 0}},  // row 0 on the right, column 0 at the bottom
      {8, 2, 3, {0, 2}, {0, 0}},  // row 0 on the left, column 0 at the bottom
  };
  for (const Case& c : cases) {
    const TFastBmp shown = OrientBitmap(Stored(), c.orientation);
    ASSERT_EQ(shown.Width(), c.width) << c.orientation;
    ASSERT_EQ(shown.Height(), c.height) << c.orientation;
    const StoredPos origin = At(shown, c.origin_at.x, c.origin_at.y);
    EXPECT_EQ(origin.x, 0) << c.orientation;
    EXPECT_EQ(origin.y, 0) << c.orientation;
    const StoredPos row_end = At(shown, c.row_end_at.x, c.row_end_at.y);
    EXPECT_EQ(row_end.x, 2) << c.orientation;
    EXPECT_EQ(row_end.y, 0) << c.orientation;
    // Every stored pixel appears exactly once.
    std::vector<int> seen(6, 0);
    for (int y = 0; y < shown.Height(); ++y) {
      for (int x = 0; x < shown.Width(); ++x) {
        const StoredPos p = At(shown, x, y);
        ++seen[static_cast<std::size_t>(p.y * 3 + p.x)];
      }
    }
    EXPECT_EQ(seen, std::vector<int>(6, 1)) << c.orientation;
  }
}

TEST(OrientationTest, OtherValuesKeepThePixelsAsStored) {
  const TFastBmp stored = Stored();
  for (int v : {0, 1, 9, -3, 65535}) {
    const TFastBmp shown = OrientBitmap(stored, v);
    ASSERT_EQ(shown.Width(), 3);
    ASSERT_EQ(shown.Height(), 2);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const StoredPos p = At(shown, x, y);
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
      }
    }
  }
}

TEST(OrientationTest, TurnsComposeAsQuarterTurnsDo) {
  // Four quarter turns clockwise give back the stored bitmap; 6 then 8 cancel.
  const TFastBmp stored = Stored();
  TFastBmp turned = stored;
  for (int i = 0; i < 4; ++i) turned = OrientBitmap(turned, 6);
  const TFastBmp back = OrientBitmap(OrientBitmap(stored, 6), 8);
  for (const TFastBmp* b : {static_cast<const TFastBmp*>(&turned), &back}) {
    ASSERT_EQ(b->Width(), 3);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(At(*b, x, y).x, x);
        EXPECT_EQ(At(*b, x, y).y, y);
      }
    }
  }
}

}  // namespace
}  // namespace quorvel::imaging
