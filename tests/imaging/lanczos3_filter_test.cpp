// The kernel at exact points: the centre, whole distances, the edge of its support, symmetry.
#include "imaging/lanczos3_filter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvel::imaging {
namespace {

TEST(Lanczos3FilterTest, IsOneAtTheCentre) {
  EXPECT_EQ(Sinc(0.0f), 1.0f);
  EXPECT_EQ(Lanczos3Filter(0.0f), 1.0f);
}

TEST(Lanczos3FilterTest, IsZeroFromThreeOutward) {
  for (float x : {3.0f, -3.0f, 3.5f, -100.0f, 1e30f}) EXPECT_EQ(Lanczos3Filter(x), 0.0f) << x;
}

TEST(Lanczos3FilterTest, JustInsideTheSupportIsTinyButNotZero) {
  const float below = std::nextafter(3.0f, 0.0f);
  EXPECT_NE(Lanczos3Filter(below), 0.0f);
  EXPECT_LT(std::fabs(Lanczos3Filter(below)), 1e-6f);
}

TEST(Lanczos3FilterTest, IsEvenInItsArgument) {
  for (float x : {0.25f, 0.5f, 1.0f, 1.5f, 2.0f, 2.75f, 2.9999998f}) {
    EXPECT_EQ(Lanczos3Filter(-x), Lanczos3Filter(x)) << x;
  }
}

// pi in single precision is pi + 8.742278e-8, so the whole distances come out as tiny
// non-zero values that still cannot move a rounded sample.
TEST(Lanczos3FilterTest, WholeDistancesAreNearlyZero) {
  for (float x : {1.0f, 2.0f, -1.0f, -2.0f}) {
    EXPECT_NE(Lanczos3Filter(x), 0.0f) << x;
    EXPECT_LT(std::fabs(Lanczos3Filter(x)), 1e-7f) << x;
  }
  // sin(pi_f) = -(pi_f - pi), so Sinc(1) is -(pi_f - pi) / pi_f.
  const double pi_f = static_cast<double>(static_cast<float>(M_PI));
  EXPECT_FLOAT_EQ(Sinc(1.0f), static_cast<float>(-(pi_f - M_PI) / pi_f));
}

TEST(Lanczos3FilterTest, MatchesTheClosedFormBetweenZeros) {
  // sinc(x) * sinc(x / 3) with sinc(x) = sin(pi x) / (pi x).
  const auto closed = [](double x) {
    const auto sinc = [](double t) { return std::sin(M_PI * t) / (M_PI * t); };
    return sinc(x) * sinc(x / 3.0);
  };
  for (float x : {0.25f, 0.5f, 1.5f, 2.5f, -0.5f, -2.5f}) {
    EXPECT_NEAR(Lanczos3Filter(x), closed(x), 2e-7) << x;
  }
  EXPECT_NEAR(Lanczos3Filter(0.5f), 0.6079271, 1e-6);
}

}  // namespace
}  // namespace quorvel::imaging
