// The resampler: the sample rule's ties and clipping, exact reproduction at equal size,
// ringing at an edge, one-pixel sides and tiny sources.
#include "imaging/resample_bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {
namespace {

TFastBmp Pattern(int width, int height) {
  TFastBmp bmp(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        bmp.Row(y)[3 * x + c] = static_cast<std::uint8_t>((x * 37 + y * 91 + c * 53) % 256);
      }
    }
  }
  return bmp;
}

// One gray row of samples, as a bitmap of height 1.
TFastBmp GrayRow(const std::vector<int>& values) {
  TFastBmp bmp(static_cast<int>(values.size()), 1);
  for (std::size_t x = 0; x < values.size(); ++x) {
    for (int c = 0; c < 3; ++c) bmp.Row(0)[3 * x + c] = static_cast<std::uint8_t>(values[x]);
  }
  return bmp;
}

TFastBmp Resampled(const TFastBmp& source, int width, int height) {
  TFastBmp out(width, height);
  ResampleBitmap(source, out, Lanczos3Filter, 3.0f);
  return out;
}

TEST(SampleFromSumTest, RoundsTiesToEvenAndClips) {
  struct Case {
    float sum;
    int sample;
  };
  for (const Case& c : std::vector<Case>{{126.5f, 126},
                                         {127.5f, 128},
                                         {255.5f, 255},
                                         {-0.4f, 0},
                                         {0.5f, 0},
                                         {1.5f, 2},
                                         {254.5f, 254},
                                         {254.51f, 255},
                                         {255.0f, 255},
                                         {300.0f, 255},
                                         {-7.0f, 0},
                                         {0.0f, 0}}) {
    EXPECT_EQ(SampleFromSum(c.sum), c.sample) << c.sum;
  }
}

TEST(ResampleBitmapTest, EqualSizeReproducesEveryPixel) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{3, 3}, {7, 5}, {16, 9}}) {
    const TFastBmp source = Pattern(w, h);
    const TFastBmp out = Resampled(source, w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < 3 * w; ++x) ASSERT_EQ(out.Row(y)[x], source.Row(y)[x]) << x << "," << y;
    }
  }
}

// 6 -> 11 doubles the row: odd destination pixels fall between two source pixels, and next
// to the edge the unnormalised sums overshoot both ways and are clipped.
TEST(ResampleBitmapTest, RingingAtAnEdgeIsClipped) {
  const TFastBmp out = Resampled(GrayRow({0, 0, 0, 255, 255, 255}), 11, 1);
  std::vector<int> row;
  for (int x = 0; x < 11; ++x) row.push_back(out.Row(0)[3 * x]);
  // The weights are not normalised: pixel 1 picks up 255 L(2.5) = 6.2 from across the edge,
  // pixel 3 sums 255 (L(1.5) + L(2.5)) < 0 and pixel 7 sums 255 (2 L(0.5) + L(1.5) + L(2.5)),
  // more than 255; pixel 9 gets 255 times the sum of its five taps, 0.970.
  const float below = 255.0f * (Lanczos3Filter(1.5f) + Lanczos3Filter(2.5f));
  const float above =
      255.0f * (2 * Lanczos3Filter(0.5f) + Lanczos3Filter(1.5f) + Lanczos3Filter(2.5f));
  ASSERT_LT(below, 0.0f);
  ASSERT_GT(above, 255.0f);
  EXPECT_EQ(row, (std::vector<int>{0, 6, 0, 0, 0, 127, 255, 255, 255, 247, 255}));
}

TEST(ResampleBitmapTest, ChannelsStayApart) {
  const TFastBmp source = Pattern(5, 4);
  const TFastBmp out = Resampled(source, 9, 7);
  for (int c = 0; c < 3; ++c) {
    // The same channel alone, as a gray image, gives the same samples.
    TFastBmp gray(5, 4);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 15; ++x) gray.Row(y)[x] = source.Row(y)[3 * (x / 3) + c];
    }
    const TFastBmp alone = Resampled(gray, 9, 7);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 9; ++x) ASSERT_EQ(out.Row(y)[3 * x + c], alone.Row(y)[3 * x]);
    }
  }
}

TEST(ResampleBitmapTest, OnePixelSideTakesTheSourceCentre) {
  const TFastBmp out = Resampled(GrayRow({10, 20, 200, 30, 40}), 1, 1);
  EXPECT_EQ(out.Row(0)[0], 200);
  EXPECT_EQ(out.Row(0)[2], 200);
}

// Sides of 1 to 3 pixels need repeated reflection; run under AddressSanitizer, this also
// shows that no read leaves the source.
TEST(ResampleBitmapTest, TinySourcesAndDestinations) {
  for (int sw = 1; sw <= 3; ++sw) {
    for (int sh = 1; sh <= 3; ++sh) {
      const TFastBmp source = Pattern(sw, sh);
      for (int d : {1, 2, 3, 70}) {
        const TFastBmp out = Resampled(source, d, 71 - d);
        EXPECT_EQ(out.Width(), d);
      }
    }
  }
  const TFastBmp flat = Resampled(GrayRow({90}), 5, 1);
  for (int x = 0; x < 5; ++x) EXPECT_NEAR(flat.Row(0)[3 * x], 90, 1);
}

TEST(ResampleBitmapTest, ShrinkKeepsAVerticalStripe) {
  TFastBmp source(64, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 64; ++x) {
      for (int c = 0; c < 3; ++c) source.Row(y)[3 * x + c] = x < 32 ? 0 : 255;
    }
  }
  const TFastBmp out = Resampled(source, 8, 1);
  EXPECT_EQ(out.Row(0)[0], 0);
  // Unnormalised weights in both passes (eight rows onto one sums them to 0.994).
  EXPECT_NEAR(out.Row(0)[3 * 7], 255, 3);
}

}  // namespace
}  // namespace quorvel::imaging
