// Gray sources are decoded through libjpeg's one-pass quantiser with 236 levels and its default
// Floyd-Steinberg dithering. This is that quantiser for one component, step for step, with its
// range limit, level choice and error in one table lookup: the same samples at about twice the
// speed of the library's loop, which is the larger part of decoding a gray photo.
#pragma once

#include <cstdint>

namespace quorvel::imaging {

// The number of levels; the decoder asks libjpeg's own quantiser for the same, so both agree.
inline constexpr int kGrayLevels = 236;

// The state a picture carries from row to row: (width + 2) errors, zero at the start, and the
// direction of the next row, left to right first.
struct GrayDitherState {
  int* errors;
  int width;
  bool right_to_left;
};

// One decoded gray row to its dithered levels, each written as equal blue, green and red.
void DitherGrayRow(GrayDitherState& state, const std::uint8_t* in, std::uint8_t* bgr);

}  // namespace quorvel::imaging
