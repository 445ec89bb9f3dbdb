// Contributor lists of one resampling axis: which source pixels feed each destination pixel.
#include "imaging/contributor_list.h"

#include <algorithm>
#include <cmath>

namespace quorvel::imaging {

int MirrorIndex(int j, int n) {
  for (int round = 0; round < 4 && (j < 0 || j >= n); ++round) {
    j = j < 0 ? -j : 2 * n - j - 1;
  }
  return std::clamp(j, 0, n - 1);
}

std::vector<ContributorList> ComputeContributors(int sourceSize, int destinationSize,
                                                 FilterFunction filter, float support) {
  std::vector<ContributorList> lists(static_cast<std::size_t>(destinationSize));
  // A destination side of one pixel samples the source centre.
  const bool single = destinationSize == 1 && sourceSize > 1;
  const float scale =
      sourceSize == 1 ? static_cast<float>(destinationSize)
      : single        ? 1.0f
               : static_cast<float>(destinationSize - 1) / static_cast<float>(sourceSize - 1);
  const bool shrinking = scale < 1.0f;
  const float reach =
      shrinking ? static_cast<float>(static_cast<double>(support) / scale) : support;
  const float fscale = shrinking ? static_cast<float>(1.0 / scale) : 1.0f;
  for (int i = 0; i < destinationSize; ++i) {
    ContributorList& list = lists[static_cast<std::size_t>(i)];
    list.reserve(static_cast<std::size_t>(std::trunc(reach * 2.0 + 1.0)));
    const float centre = single ? static_cast<float>((sourceSize - 1) / 2.0)
                                : static_cast<float>(static_cast<double>(i) / scale);
    const int lo = static_cast<int>(std::trunc(static_cast<double>(centre) - reach));
    const int hi = static_cast<int>(std::trunc(static_cast<double>(centre) + reach));
    for (int j = lo; j <= hi; ++j) {
      float weight;
      if (shrinking) {
        const float arg = static_cast<float>((static_cast<double>(centre) - j) / fscale);
        weight = static_cast<float>(static_cast<double>(filter(arg)) / fscale);
      } else {
        weight = filter(static_cast<float>(static_cast<double>(centre) - j));
      }
      if (weight != 0.0f) list.push_back({MirrorIndex(j, sourceSize), weight});
    }
  }
  return lists;
}

}  // namespace quorvel::imaging
