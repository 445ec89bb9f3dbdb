// The Lanczos3 kernel and Sinc, evaluated in single precision with an extended-precision pi.
#include "imaging/lanczos3_filter.h"

#include <cmath>
#include <limits>

namespace quorvel::imaging {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;

// sin(y) / y rounded to single precision, as the extended-precision quotient rounds. The double
// quotient is within 2^-50 of the true one (sin is good to one ulp, the division to half of
// one) and the extended one within 2^-61; when the double one lies farther than 2^-40 from
// every float midpoint, both round to the same float. Otherwise, about once in 30,000 calls,
// the extended form decides. The slow part of extended sin is its argument reduction.
float SinOver(float y) {
  const double q = std::sin(static_cast<double>(y)) / static_cast<double>(y);
  const float f = static_cast<float>(q);
  constexpr float kInf = std::numeric_limits<float>::infinity();
  // Midpoints between f and its neighbours: exact in double.
  const double below = (static_cast<double>(f) + std::nextafter(f, -kInf)) / 2;
  const double above = (static_cast<double>(f) + std::nextafter(f, kInf)) / 2;
  const double margin = std::fabs(q) * 0x1p-40;
  if (q - margin > below && q + margin < above) return f;
  return static_cast<float>(std::sin(static_cast<long double>(y)) / y);
}

}  // namespace

float Sinc(float x) {
  if (x == 0.0f) return 1.0f;
  return SinOver(static_cast<float>(kPi * x));
}

float Lanczos3Filter(float x) {
  const float ax = std::fabs(x);
  if (ax >= 3.0f) return 0.0f;
  const float third = static_cast<float>(static_cast<double>(ax) / 3.0);
  return static_cast<float>(static_cast<double>(Sinc(ax)) * static_cast<double>(Sinc(third)));
}

}  // namespace quorvel::imaging
