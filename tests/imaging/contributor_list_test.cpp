// The weights: the kernel at exact points and its fast Sinc against the extended-precision
// quotient; contributor lists bit for bit against the kernel, inside the source for tiny sides;
// and the FMA admission, against enumeration over every sample and against the tap's own
// arithmetic on sums aimed at float midpoints, its refusals shown to be real.
#include "imaging/contributor_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "imaging/fused_taps.h"

namespace quorvel::imaging {
namespace {

TEST(Lanczos3FilterTest, ExactPointsAndSinc) {
  EXPECT_EQ(Sinc(0.0f) + Lanczos3Filter(0.0f), 2.0f);
  for (float x : {3.0f, -3.0f, 3.5f, 1e30f}) EXPECT_EQ(Lanczos3Filter(x), 0.0f) << x;
  EXPECT_NE(Lanczos3Filter(std::nextafter(3.0f, 0.0f)), 0.0f);
  EXPECT_EQ(Lanczos3Filter(-1.5f), Lanczos3Filter(1.5f));
  // pi in single precision is pi + 8.742278e-8: whole distances give tiny non-zero weights.
  EXPECT_TRUE(Lanczos3Filter(2.0f) != 0.0f && std::fabs(Lanczos3Filter(-1.0f)) < 1e-7f);
  EXPECT_NEAR(Lanczos3Filter(0.5f) + Lanczos3Filter(2.5f), 0.6079271 + 0.0243171, 1e-6);
  std::mt19937 rng(11);
  for (int i = 0; i < 300000; ++i) {
    float x = std::ldexp(static_cast<float>(rng() >> 8), -22) - 2.0f;  // -2 .. 2
    // Every tenth near a whole number, where sin(y) nearly cancels.
    if (i % 10 == 0) x = std::nextafter(std::round(x), x) + static_cast<float>(rng() % 64) * 1e-7f;
    const float y = static_cast<float>(3.14159265358979323846264338327950288L * x);
    if (x != 0.0f) {
      ASSERT_EQ(Sinc(x), static_cast<float>(std::sin(static_cast<long double>(y)) / y)) << x;
    }
  }
}

TEST(ContributorListTest, MirrorShrinkEnlargeOnePixelAndTinySides) {
  for (const auto& c : std::vector<std::vector<int>>{
           {-1, 5, 1}, {-4, 5, 4}, {5, 5, 4}, {6, 5, 3}, {-3, 2, 0}, {4, 2, 1}, {-9, 1, 0}}) {
    EXPECT_EQ(MirrorIndex(c[0], c[1]), c[2]) << c[0] << " in " << c[1];  // j, n, index
  }
  // Source, destination, list, first position, taps, centre, shrink: 9 -> 5 has scale 0.5,
  // reach 6 and its taps at distance 6 weigh 0; 4 -> 7 has scale 2; one pixel samples the centre.
  const std::vector<std::vector<float>> lists = {
      {9, 5, 0, -5, 11, 0, 0.5}, {9, 5, 2, -1, 11, 4, 0.5}, {9, 5, 4, 3, 11, 8, 0.5},
      {4, 7, 0, -2, 5, 0, 1},    {4, 7, 1, -2, 6, 0.5, 1},  {4, 7, 6, 1, 5, 3, 1},
      {5, 1, 0, 0, 5, 2, 1},     {4, 1, 0, -1, 6, 1.5, 1}};
  for (const auto& l : lists) {
    const int size = static_cast<int>(l[0]), lo = static_cast<int>(l[3]);
    const ContributorList list = ComputeContributors(size, static_cast<int>(l[1]), Lanczos3Filter,
                                                     3.0f)[static_cast<std::size_t>(l[2])];
    ASSERT_EQ(list.size(), static_cast<std::size_t>(l[4]));
    for (int k = 0; k < static_cast<int>(l[4]); ++k) {
      EXPECT_EQ(list[k].pixel, MirrorIndex(lo + k, size));
      // With shrink a power of two every step of the weight is exact.
      EXPECT_EQ(list[k].weight, Lanczos3Filter((l[5] - static_cast<float>(lo + k)) * l[6]) * l[6]);
    }
  }
  for (int source : {1, 2, 3, 4, 7, 640}) {
    for (int destination : {1, 2, 3, 5, 70, 1000}) {
      for (const ContributorList& list :
           ComputeContributors(source, destination, Lanczos3Filter, 3.0f)) {
        EXPECT_FALSE(list.empty());
        for (const Contributor& c : list) {
          EXPECT_TRUE(c.pixel >= 0 && c.pixel < source && c.weight != 0.0f) << source;
        }
      }
    }
  }
}

float DoubleRounded(float sum, int sample, float weight) {
  return static_cast<float>(static_cast<double>(sum) + sample * static_cast<double>(weight));
}

// The first case of the proof by enumeration: the odd part of x * w, x = 1..255, is a non-zero
// multiple of 2^j (29 <= j <= 32) plus an odd r with |r| <= 2^(j - 29).
bool PatternByEnumeration(float weight) {
  for (std::uint64_t x = 1; x <= 255; ++x) {
    std::uint64_t p = x * SplitWeight(weight).odd;
    while (p % 2 == 0) p /= 2;
    for (std::uint64_t j = 29, r; j <= 32; ++j) {
      r = p & ((1ull << j) - 1);
      if ((r <= 1ull << (j - 29) && p > r) || (1ull << j) - r <= 1ull << (j - 29)) return false;
    }
  }
  return true;
}

TEST(FusedTapsTest, ProductPatternMatchesEnumerationAndRefusalsAreReal) {
  EXPECT_TRUE(SplitWeight(-0.75f).odd == 3u && SplitWeight(-0.75f).low == -2);
  std::vector<float> weights = {2304167 * 0x1p-23f, 0.5f, 0x1p-149f};
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) weights.push_back(std::ldexp(float((rng() >> 8) | 1), -30));
  for (const auto& list : ComputeContributors(997, 13, Lanczos3Filter, 3.0f)) {
    for (const Contributor& c : list) weights.push_back(c.weight);
  }
  for (const float w : weights) ASSERT_EQ(ProductPatternSafe(w), PatternByEnumeration(w)) << w;
  // 233 * 2304167 = 2^29 - 1: a product 2^-23 short of 64, added to 2^30 + 128, lands 2^-23
  // below a float midpoint; double rounding goes to the even float above, a fused one below.
  const float w = 2304167 * 0x1p-23f, s = 0x1p30f + 128;
  EXPECT_FALSE(ProductPatternSafe(w));
  EXPECT_NE(std::fma(233.0f, w, s), DoubleRounded(s, 233, w));
  // A weight 2^-60 before one of 1 + 2^-23: 3 times that is a float midpoint, and the tiny sum
  // below it is lost in double, which then rounds the tie to even, upward.
  const float tiny = -0x1.8p-60f, one = 0x1.000002p0f;
  EXPECT_FALSE(FusedTapsExact(std::vector<float>{tiny, one}.data(), 2));
  EXPECT_NE(std::fma(3.0f, one, tiny), DoubleRounded(tiny, 3, one));
}

// Sums that are multiples of 2^low (as every reachable sum is), aimed at a float midpoint of
// each binade from the product's upward, for every sample and many taps of admitted lists.
TEST(FusedTapsTest, AdmittedListsGiveTheTapsOwnSums) {
  int admitted = 0;
  for (const auto& [from, to] : std::vector<std::pair<int, int>>{
           {600, 16}, {6000, 160}, {100, 640}, {97, 35}, {1000, 70}, {7, 3}}) {
    const auto lists = ComputeContributors(from, to, Lanczos3Filter, 3.0f);
    for (std::size_t i = 0; i < lists.size(); i += 7) {
      std::vector<float> w;
      for (const Contributor& c : lists[i]) w.push_back(c.weight);
      if (!FusedTapsExact(w.data(), static_cast<int>(w.size()))) continue;
      ++admitted;
      int low = SplitWeight(w[0]).low;
      for (std::size_t t = 1; t < w.size(); ++t) {
        for (int x = 1; x <= 255 && t % 3 == 1; ++x) {
          const double p = x * static_cast<double>(w[t]);
          for (int e = std::ilogb(p) - 1; e < std::ilogb(p) + 26; e += 3) {
            const double h = std::ldexp(1.0, e - 24);
            const double m = (2 * std::floor(std::ldexp(1.5, e) / h / 2) + 1) * h;
            for (int k = -1; k <= 1; ++k) {
              const float s =
                  static_cast<float>(std::ldexp(std::nearbyint(std::ldexp(m - p, -low)) + k, low));
              ASSERT_EQ(std::fma(static_cast<float>(x), w[t], s), DoubleRounded(s, x, w[t]))
                  << from << " -> " << to << " list " << i << " tap " << t << " x " << x;
            }
          }
        }
        low = std::min(low, SplitWeight(w[t]).low);
      }
    }
  }
  EXPECT_GT(admitted, 100);
}

}  // namespace
}  // namespace quorvel::imaging
