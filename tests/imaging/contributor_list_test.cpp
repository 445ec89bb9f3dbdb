// Contributor lists for shrinking, enlarging and one-pixel sides: counts, mirrored indices and
// weights bit for bit against the kernel alone; every tap inside the source for tiny sides.
#include "imaging/contributor_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvel::imaging {
namespace {

// Positions lo .. lo + n - 1 before mirroring into a source of `size`, weighted at
// (centre - j) * shrink; with shrink a power of two every step of the weight is exact.
void ExpectList(const ContributorList& list, int lo, int n, int size, float centre, float shrink) {
  ASSERT_EQ(list.size(), static_cast<std::size_t>(n)) << "centre " << centre;
  for (int k = 0; k < n; ++k) {
    const float d = centre - static_cast<float>(lo + k);
    EXPECT_EQ(list[k].pixel, MirrorIndex(lo + k, size)) << "tap " << k;
    EXPECT_EQ(list[k].weight,
              shrink == 1.0f ? Lanczos3Filter(d) : Lanczos3Filter(d * shrink) * shrink);
  }
}

TEST(MirrorIndexTest, ReflectsWithoutRepeatingTheLeftEdgeAndClampsTinySources) {
  const std::vector<std::vector<int>> cases = {
      // j, n, index
      {-1, 5, 1}, {-4, 5, 4}, {5, 5, 4}, {6, 5, 3}, {2, 5, 2}, {-3, 2, 0}, {4, 2, 1}, {-9, 1, 0}};
  for (const auto& c : cases) EXPECT_EQ(MirrorIndex(c[0], c[1]), c[2]) << c[0] << " in " << c[1];
}

TEST(ContributorListTest, ShrinkEnlargeAndOnePixel) {
  // 9 -> 5: scale 0.5, reach 6, centre 2i; the taps at distance 6 weigh exactly 0.
  const auto half = ComputeContributors(9, 5, Lanczos3Filter, 3.0f);
  ExpectList(half[0], -5, 11, 9, 0.0f, 0.5f);
  ExpectList(half[2], -1, 11, 9, 4.0f, 0.5f);
  ExpectList(half[4], 3, 11, 9, 8.0f, 0.5f);
  // 4 -> 7: scale 2, reach 3, centre i / 2.
  const auto twice = ComputeContributors(4, 7, Lanczos3Filter, 3.0f);
  ExpectList(twice[0], -2, 5, 4, 0.0f, 1.0f);
  ExpectList(twice[1], -2, 6, 4, 0.5f, 1.0f);
  ExpectList(twice[6], 1, 5, 4, 3.0f, 1.0f);
  // A destination of one pixel samples the source centre.
  ExpectList(ComputeContributors(5, 1, Lanczos3Filter, 3.0f)[0], 0, 5, 5, 2.0f, 1.0f);
  ExpectList(ComputeContributors(4, 1, Lanczos3Filter, 3.0f)[0], -1, 6, 4, 1.5f, 1.0f);
}

TEST(ContributorListTest, EveryTapStaysInsideTheSource) {
  for (int source : {1, 2, 3, 4, 7, 640}) {
    for (int destination : {1, 2, 3, 5, 70, 1000}) {
      for (const ContributorList& list :
           ComputeContributors(source, destination, Lanczos3Filter, 3.0f)) {
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
