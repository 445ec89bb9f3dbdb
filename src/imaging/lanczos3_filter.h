// The resampling kernel: Lanczos3 built on Sinc, in single precision.
#pragma once

namespace quorvel::imaging {

using FilterFunction = float (*)(float);

float Sinc(float x);
float Lanczos3Filter(float x);

}  // namespace quorvel::imaging
