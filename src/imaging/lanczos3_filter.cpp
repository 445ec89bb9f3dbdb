// The Lanczos3 kernel and Sinc, evaluated in single precision with an extended-precision pi.
#include "imaging/lanczos3_filter.h"

#include <cmath>

namespace quorvel::imaging {

float Sinc(float x) {
  if (x == 0.0f) return 1.0f;
  const float y = static_cast<float>(3.14159265358979323846264338327950288L * x);
  return static_cast<float>(std::sin(static_cast<long double>(y)) / y);
}

float Lanczos3Filter(float x) {
  const float ax = std::fabs(x);
  if (ax >= 3.0f) return 0.0f;
  const float third = static_cast<float>(static_cast<double>(ax) / 3.0);
  return static_cast<float>(static_cast<double>(Sinc(ax)) * static_cast<double>(Sinc(third)));
}

}  // namespace quorvel::imaging
