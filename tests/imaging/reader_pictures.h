// Shared by the tests of the HEIF, PNG and WebP readers: expected bitmaps drawn from formulas,
// the PSNR between bitmaps, the flattening on white worked out in floating point, and the
// failures the readers must give.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "imaging/fast_bmp.h"
#include "job/error.h"

namespace quorvel::imaging::test {

// Red, green, blue of a pixel.
using Rgb = std::array<int, 3>;

inline TFastBmp DrawBitmap(int width, int height, const std::function<Rgb(int x, int y)>& rgb) {
  TFastBmp bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb p = rgb(x, y);
      for (int c = 0; c < 3; ++c) bitmap.Row(y)[3 * x + c] = static_cast<std::uint8_t>(p[2 - c]);
    }
  }
  return bitmap;
}

// Infinity for equal bitmaps; -1 for different sizes.
inline double Psnr(const TFastBmp& a, const TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int k = 0; k < 3 * a.Width(); ++k) {
      const double d = double(a.Row(y)[k]) - double(b.Row(y)[k]);
      sum += d * d;
    }
  }
  if (sum == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(255.0 * 255.0 * 3 * a.Width() * a.Height() / sum);
}

// A deep sample to 8 bits, rounded to nearest.
inline int Scaled(unsigned value, int bits) {
  return static_cast<int>(std::lround(value * 255.0 / ((1u << bits) - 1)));
}

// A sample over white under 8-bit alpha, rounded to nearest.
inline int OnWhite(int sample, int alpha) {
  return static_cast<int>(std::lround((sample * alpha + 255.0 * (255 - alpha)) / 255.0));
}

// Runs `read`, which must fail with "Cannot read image `name`" and a detail containing
// `detail` (any detail when empty).
template <class Read>
void ExpectReadFailure(Read read, const std::string& name, const std::string& detail) {
  try {
    read();
    ADD_FAILURE() << name << " was read";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot read image " + name);
    EXPECT_FALSE(e.detail().empty()) << name;
    EXPECT_NE(e.detail().find(detail), std::string::npos) << MessageWithDetail(e);
  }
}

}  // namespace quorvel::imaging::test
