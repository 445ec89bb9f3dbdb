// The admission of contributor lists to single-precision FMA, with its proof.
//
// A tap turns the float sum s into float(double(s + p)) with p = x * w, x an integer sample
// 0..255 and w a float weight. p is exact in double (8 + 24 significant bits), so the only
// rounding before the last is the one of z = s + p to double, and the fused form,
// fmaf(x, w, s) = float(z), can differ from it only by double rounding: z is no double,
// double(z) is a float midpoint m (a value halfway between two neighbouring floats) and z is
// not. Let m lie in the binade [2^E, 2^(E+1)): m is an odd multiple of h = 2^(E-24) and
// 0 < |z - m| <= 2^(E-53) = h * 2^-29. Write |p| = P * 2^L with P odd, so P < 2^32.
//
// Case 1, |s| >= 2^(E-1). Then s is a multiple of its ulp >= h, m - s is a non-zero multiple
// of h (m is no float, s is), and p = (m - s) + (z - m): p lies within h * 2^-29 of a non-zero
// multiple of h without being one. With j = E - 24 - L that says P = q * 2^j + r, q != 0,
// r odd, 0 < |r| <= 2^(j-29); since P < 255 * 2^24, 29 <= j <= 31. This is a property of
// x * w alone: ProductPatternSafe rules it out for every x by solving X = r / W (mod 2^j) for
// the odd part X of x (W the odd part of w) over the 8 pairs (j, r).
//
// Case 2, |s| < 2^(E-1). Then |p| > 2^(E-1), so L >= E - 32 and p is a multiple of
// 2^(E-52); as z is no multiple of 2^(E-52), s has a set bit at or below 2^(E-53). But s is a
// sum of earlier products rounded to double and float, and rounding never sets a bit below
// the lowest one of the exact value: s is a multiple of 2^lambda, lambda the lowest set bit of
// all earlier weights. As |z| < 2 |p|, E <= M + 1 with M = floor(log2(255 |w|)), so case 2
// needs lambda <= E - 53 <= M - 52.
//
// Neither case can happen for the first tap, whose sum is 0. Weights are kept between 2^-60
// and 2^60, so no sum is subnormal or overflows and the ulp argument above holds. Since every
// admitted tap gives the reference's own sum, the next tap starts from that sum again.
#include "imaging/fused_taps.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace quorvel::imaging {

WeightBits SplitWeight(float weight) {
  std::uint32_t bits;
  std::memcpy(&bits, &weight, sizeof bits);
  const int exponent = static_cast<int>((bits >> 23) & 0xFF);
  // Subnormals have no implicit bit; the lists never hold them, this keeps the split exact.
  std::uint32_t significand = bits & 0x7FFFFF;
  if (exponent != 0) significand |= 0x800000;
  if (significand == 0) return {0, 0};
  const int zeros = std::countr_zero(significand);
  return {significand >> zeros, (exponent == 0 ? 1 : exponent) - 150 + zeros};
}

bool ProductPatternSafe(float weight) {
  const std::uint32_t w = SplitWeight(weight).odd;
  // Below 2^29 - 1 no product reaches a non-zero multiple of 2^29 closely enough.
  if (255ull * w < (1ull << 29) - 1) return true;
  // The inverse of an odd number modulo 2^32 by Newton's iteration: 3, 6, 12, 24, 48 bits.
  std::uint32_t inverse = w;
  for (int i = 0; i < 4; ++i) inverse *= 2u - w * inverse;
  for (int j = 29; j <= 31; ++j) {
    const std::uint64_t mask = (std::uint64_t{1} << j) - 1;
    const std::uint64_t limit = std::uint64_t{1} << (j - 29);
    for (std::uint64_t r = 1; r <= limit; r += 2) {
      for (const std::uint64_t residue : {r, (std::uint64_t{1} << j) - r}) {
        // The one odd X below 2^j with X * w = residue (mod 2^j).
        const std::uint64_t x = (residue * inverse) & mask;
        if (x > 255) continue;
        // P = r itself (q = 0) is smaller than h * 2^-29 and cannot reach a midpoint.
        const bool below = residue == r;
        if (!below || x * w != r) return false;
      }
    }
  }
  return true;
}

bool FusedTapsExact(const float* weights, int count) {
  int lowest = INT_MAX;  // lambda: the lowest set bit of the weights so far
  for (int t = 0; t < count; ++t) {
    const float w = std::fabs(weights[t]);
    if (w == 0.0f) continue;  // adds an exact 0
    if (!(w >= 0x1p-60f && w <= 0x1p60f)) return false;
    const WeightBits bits = SplitWeight(w);
    if (t > 0) {
      if (!ProductPatternSafe(w)) return false;
      const int top = std::ilogb(255.0 * static_cast<double>(w));
      if (lowest != INT_MAX && lowest < top - 51) return false;
    }
    lowest = std::min(lowest, bits.low);
  }
  return true;
}

}  // namespace quorvel::imaging
