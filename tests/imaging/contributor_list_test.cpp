// Contributor lists for shrinking, enlarging and an unchanged size: counts, mirrored indices
// and weights compared bit for bit with values built here from the kernel alone.
#include "imaging/contributor_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {
namespace {

struct Tap {
  int position;  // before mirroring
  int pixel;     // after mirroring
};

void ExpectList(const ContributorList& list, const std::vector<Tap>& taps, float centre,
                float shrink) {
  ASSERT_EQ(list.size(), taps.size());
  for (std::size_t k = 0; k < taps.size(); ++k) {
    // With shrink a power of two every step below is exact.
    const float expected =
        shrink == 1.0f
            ? Lanczos3Filter(centre - static_cast<float>(taps[k].position))
            : Lanczos3Filter((centre - static_cast<float>(taps[k].position)) * shrink) * shrink;
    EXPECT_EQ(list[k].pixel, taps[k].pixel) << "tap " << k;
    EXPECT_EQ(list[k].weight, expected) << "tap " << k;
  }
}

TEST(MirrorIndexTest, ReflectsWithoutRepeatingTheLeftEdge) {
  EXPECT_EQ(MirrorIndex(-1, 5), 1);
  EXPECT_EQ(MirrorIndex(-4, 5), 4);
  EXPECT_EQ(MirrorIndex(5, 5), 4);
  EXPECT_EQ(MirrorIndex(6, 5), 3);
  EXPECT_EQ(MirrorIndex(2, 5), 2);
}

TEST(MirrorIndexTest, ReflectsAgainAndClampsOnTinySources) {
  EXPECT_EQ(MirrorIndex(-3, 2), 0);  // -3 -> 3 -> 0
  EXPECT_EQ(MirrorIndex(4, 2), 1);   // 4 -> -1 -> 1
  for (int j = -10; j <= 10; ++j) EXPECT_EQ(MirrorIndex(j, 1), 0) << j;
  for (int n = 1; n <= 4; ++n) {
    for (int j = -40; j <= 40; ++j) {
      const int m = MirrorIndex(j, n);
      EXPECT_TRUE(m >= 0 && m < n) << j << " in " << n;
    }
  }
}

// 9 -> 5: scale 0.5, reach 6, centre 2i; the taps at distance 6 weigh exactly 0.
TEST(ContributorListTest, ShrinkToHalf) {
  const auto lists = ComputeContributors(9, 5, Lanczos3Filter, 3.0f);
  ASSERT_EQ(lists.size(), 5u);
  ExpectList(
      lists[0],
      {{-5, 5}, {-4, 4}, {-3, 3}, {-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}},
      0.0f, 0.5f);
  std::vector<Tap> middle;
  for (int j = -1; j <= 9; ++j) middle.push_back({j, j < 0 ? 1 : j > 8 ? 8 : j});
  ExpectList(lists[2], middle, 4.0f, 0.5f);
  ExpectList(
      lists[4],
      {{3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 8}, {10, 7}, {11, 6}, {12, 5}, {13, 4}},
      8.0f, 0.5f);
}

// 4 -> 7: scale 2, reach 3, centre i / 2.
TEST(ContributorListTest, EnlargeToDouble) {
  const auto lists = ComputeContributors(4, 7, Lanczos3Filter, 3.0f);
  ASSERT_EQ(lists.size(), 7u);
  ExpectList(lists[0], {{-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}}, 0.0f, 1.0f);
  ExpectList(lists[1], {{-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}, {3, 3}}, 0.5f, 1.0f);
  ExpectList(lists[6], {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {5, 2}}, 3.0f, 1.0f);
}

TEST(ContributorListTest, EqualSizeHasWeightOneAtTheCentre) {
  const auto lists = ComputeContributors(6, 6, Lanczos3Filter, 3.0f);
  ExpectList(lists[0], {{-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}}, 0.0f, 1.0f);
  ExpectList(lists[3], {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}, 3.0f, 1.0f);
  EXPECT_EQ(lists[3][2].weight, 1.0f);
}

TEST(ContributorListTest, OnePixelDestinationSamplesTheCentre) {
  const auto odd = ComputeContributors(5, 1, Lanczos3Filter, 3.0f);
  ExpectList(odd[0], {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, 2.0f, 1.0f);
  const auto even = ComputeContributors(4, 1, Lanczos3Filter, 3.0f);
  ExpectList(even[0], {{-1, 1}, {0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 3}}, 1.5f, 1.0f);
}

TEST(ContributorListTest, EveryTapStaysInsideTheSource) {
  for (int source : {1, 2, 3, 4, 7, 640}) {
    for (int destination : {1, 2, 3, 4, 5, 70, 1000}) {
      const auto lists = ComputeContributors(source, destination, Lanczos3Filter, 3.0f);
      ASSERT_EQ(lists.size(), static_cast<std::size_t>(destination));
      for (const ContributorList& list : lists) {
        EXPECT_FALSE(list.empty());
        for (const Contributor& c : list) {
          EXPECT_TRUE(c.pixel >= 0 && c.pixel < source) << source << " -> " << destination;
          EXPECT_NE(c.weight, 0.0f);
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvel::imaging
