// The two-pass separable resampler: horizontal pass into an intermediate bitmap, then the
// vertical pass, each over contributor lists computed once. This plain version is the
// reference the faster StreamingResampler is held to, bit for bit.
#pragma once

#include <cmath>
#include <cstdint>

#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {

// Fills every pixel of `destination` (already of the target size) from `source`.
void ResampleBitmap(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                    float support);

// One tap: (sum + sample * weight) evaluated in double, then rounded to single precision. The
// product of an 8-bit sample and a float weight is exact in double.
inline float Accumulate(float sum, float sample, float weight) {
  return static_cast<float>(static_cast<double>(sum) +
                            static_cast<double>(sample) * static_cast<double>(weight));
}

// A weighted sum as a stored sample: clipped to 0..255, rounded with ties to even.
inline std::uint8_t SampleFromSum(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  return static_cast<std::uint8_t>(std::nearbyint(sum));
}

}  // namespace quorvel::imaging
