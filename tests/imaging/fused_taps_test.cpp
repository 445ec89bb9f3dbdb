// The FMA admission: its product test against plain enumeration over every sample, admitted
// lists against the tap's own arithmetic on sums aimed at every float midpoint near each
// product, and refused weights shown to have a real difference.
#include "imaging/fused_taps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "imaging/contributor_list.h"

namespace quorvel::imaging {
namespace {

float DoubleRounded(float sum, int sample, float weight) {
  return static_cast<float>(static_cast<double>(sum) + sample * static_cast<double>(weight));
}

// The first case of the proof, by enumeration: some odd part P of x * w, x = 1..255, is a
// non-zero multiple of 2^j (29 <= j <= 32) plus an odd r with |r| <= 2^(j - 29).
bool PatternByEnumeration(float weight) {
  const std::uint64_t w = SplitWeight(weight).odd;
  for (std::uint64_t x = 1; x <= 255; ++x) {
    std::uint64_t p = x * w;
    while (p % 2 == 0) p /= 2;
    for (int j = 29; j <= 32; ++j) {
      const std::uint64_t r = p & ((std::uint64_t{1} << j) - 1), limit = 1ull << (j - 29);
      if ((r <= limit && p > r) || (std::uint64_t{1} << j) - r <= limit) return false;
    }
  }
  return true;
}

TEST(FusedTapsTest, SplitsWeights) {
  EXPECT_EQ(SplitWeight(1.0f).odd, 1u);
  EXPECT_EQ(SplitWeight(-0.75f).odd, 3u);
  EXPECT_EQ(SplitWeight(-0.75f).low, -2);
  EXPECT_EQ(SplitWeight(0x1p-149f).low, -149);
  EXPECT_EQ(SplitWeight(16777215.0f).odd, 16777215u);
}

TEST(FusedTapsTest, ProductPatternMatchesEnumerationOverEverySample) {
  std::vector<float> weights = {2304167 * 0x1p-23f, 0.5f, 1.0f};
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) {
    weights.push_back(std::ldexp(static_cast<float>((rng() >> 8) | 1), -30));
  }
  for (const auto& list : ComputeContributors(997, 13, Lanczos3Filter, 3.0f)) {
    for (const Contributor& c : list) weights.push_back(c.weight);
  }
  int refused = 0;
  for (const float w : weights) {
    ASSERT_EQ(ProductPatternSafe(w), PatternByEnumeration(w)) << std::hexfloat << w;
    refused += !ProductPatternSafe(w);
  }
  EXPECT_GT(refused, 0);
}

// 233 * 2304167 = 2^29 - 1: a product 2^-23 short of 64, added to 2^30 + 128, lands 2^-23 below
// a float midpoint; double rounding goes to the even float above, a fused rounding below.
TEST(FusedTapsTest, RefusedProductsDoDiffer) {
  const float w = 2304167 * 0x1p-23f, s = 0x1p30f + 128;
  EXPECT_FALSE(ProductPatternSafe(w));
  EXPECT_NE(std::fma(233.0f, w, s), DoubleRounded(s, 233, w));
  // A weight 2^-60 times smaller before one of 1 + 2^-23: 3 times that is a float midpoint, and
  // the tiny sum below it is lost in double, which then rounds the tie to even, upward.
  const float tiny = -0x1.8p-60f, one = 0x1.000002p0f;
  EXPECT_FALSE(FusedTapsExact(std::vector<float>{tiny, one}.data(), 2));
  EXPECT_NE(std::fma(3.0f, one, tiny), DoubleRounded(tiny, 3, one));
}

// Sums a multiple of 2^low (as every reachable sum is) aimed at a float midpoint of each
// binade from the product's upward, for every sample and many taps of the admitted lists.
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
      for (std::size_t t = 1; t < w.size(); t += 3) {
        for (int x = 1; x <= 255; ++x) {
          const double p = x * static_cast<double>(w[t]);
          for (int e = std::ilogb(p) - 1; e < std::ilogb(p) + 26; e += 3) {
            const double h = std::ldexp(1.0, e - 24);
            const double m = (2 * std::floor(std::ldexp(1.5, e) / h / 2) + 1) * h;
            for (int k = -1; k <= 1; ++k) {
              const double target = std::nearbyint(std::ldexp(m - p, -low)) + k;
              const float s = static_cast<float>(std::ldexp(target, low));
              ASSERT_EQ(std::fma(static_cast<float>(x), w[t], s), DoubleRounded(s, x, w[t]))
                  << from << " -> " << to << " list " << i << " tap " << t << " x " << x;
            }
          }
        }
        for (std::size_t u = t; u < std::min(w.size(), t + 3); ++u) {
          low = std::min(low, SplitWeight(w[u]).low);
        }
      }
    }
  }
  EXPECT_GT(admitted, 100);
}

}  // namespace
}  // namespace quorvel::imaging
