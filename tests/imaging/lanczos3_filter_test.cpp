// The kernel at exact points (centre, whole distances, the edge of its support, symmetry), and
// Sinc's fast double path against the extended-precision quotient it stands for.
#include "imaging/lanczos3_filter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace quorvel::imaging {
namespace {

TEST(Lanczos3FilterTest, ExactPoints) {
  EXPECT_EQ(Sinc(0.0f), 1.0f);
  EXPECT_EQ(Lanczos3Filter(0.0f), 1.0f);
  for (float x : {3.0f, -3.0f, 3.5f, -100.0f, 1e30f}) EXPECT_EQ(Lanczos3Filter(x), 0.0f) << x;
  EXPECT_NE(Lanczos3Filter(std::nextafter(3.0f, 0.0f)), 0.0f);
  for (float x : {0.25f, 1.5f, 2.0f, 2.9999998f}) EXPECT_EQ(Lanczos3Filter(-x), Lanczos3Filter(x));
  // pi in single precision is pi + 8.742278e-8: whole distances give tiny non-zero weights.
  for (float x : {1.0f, 2.0f, -1.0f}) {
    EXPECT_NE(Lanczos3Filter(x), 0.0f) << x;
    EXPECT_LT(std::fabs(Lanczos3Filter(x)), 1e-7f) << x;
  }
  EXPECT_NEAR(Lanczos3Filter(0.5f), 0.6079271, 1e-6);
  EXPECT_NEAR(Lanczos3Filter(2.5f), 0.0243171, 1e-6);
}

// sin(y) / y rounded to float from the extended-precision quotient, the kernel's definition.
float ExtendedSinc(float x) {
  const float y = static_cast<float>(3.14159265358979323846264338327950288L * x);
  return static_cast<float>(std::sin(static_cast<long double>(y)) / y);
}

TEST(Lanczos3FilterTest, SincEqualsTheExtendedPrecisionQuotient) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> anywhere(-3.0f, 3.0f);
  for (int i = 0; i < 300000; ++i) {
    float x = anywhere(rng);
    // Every tenth near a whole number, where sin(y) nearly cancels.
    if (i % 10 == 0) x = std::nextafter(std::round(x), x) + static_cast<float>(rng() % 64) * 1e-7f;
    if (x == 0.0f) continue;
    ASSERT_EQ(Sinc(x), ExtendedSinc(x)) << std::hexfloat << x;
  }
}

}  // namespace
}  // namespace quorvel::imaging
