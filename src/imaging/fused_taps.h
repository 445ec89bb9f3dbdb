// Whether a single-precision fused multiply-add reproduces the exact resampler's tap,
// float(double(sum) + double(sample) * double(weight)), decided once per contributor list so
// the fast kernels may use it and keep every thumbnail identical to the plain resampler.
#pragma once

#include <cstdint>

namespace quorvel::imaging {

// A non-zero weight as |weight| = odd * 2^low, odd < 2^24.
struct WeightBits {
  std::uint32_t odd;
  int low;
};
WeightBits SplitWeight(float weight);

// True when no sample 1..255 times `weight` has the bit pattern that lets a double rounding
// differ from a single one, whatever float sum it is added to (the first case of the proof).
bool ProductPatternSafe(float weight);

// True when, for the list's weights in order, every tap gives the same float with a single
// fused rounding as with the double-then-float rounding, for all samples 0..255 and every sum
// the earlier taps can leave. Lists it refuses take the double path.
bool FusedTapsExact(const float* weights, int count);

}  // namespace quorvel::imaging
