// The two-pass separable resampler: horizontal pass into an intermediate bitmap, then the
// vertical pass, each over contributor lists computed once.
#pragma once

#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {

// Fills every pixel of `destination` (already of the target size) from `source`.
void ResampleBitmap(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                    float support);

// A weighted sum as a stored sample: clipped to 0..255, rounded with ties to even.
std::uint8_t SampleFromSum(float sum);

}  // namespace quorvel::imaging
