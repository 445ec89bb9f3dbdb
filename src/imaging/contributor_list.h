// For each destination column (or row) of one resampling pass: the source pixels that
// contribute to it and their weights, computed once per axis.
#pragma once

#include <vector>

#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {

struct Contributor {
  int pixel;     // source index, inside 0 .. source size - 1
  float weight;  // never exactly 0
};

using ContributorList = std::vector<Contributor>;

// Reflects an index at the edges (-1 reads 1, n reads n - 1) until it lies inside the source;
// a source too small for that is clamped.
int MirrorIndex(int j, int n);

// The lists of one axis from `sourceSize` to `destinationSize` pixels.
std::vector<ContributorList> ComputeContributors(int sourceSize, int destinationSize,
                                                 FilterFunction filter, float support);

}  // namespace quorvel::imaging
