// libjpeg's one-pass Floyd-Steinberg quantiser for one component and 236 levels. Level j is
// (255 j + 117) / 235; a sample v takes the first level j whose upper bound
// ((2 j + 1) 255 + 235) / 470 is at least v. Errors are kept times 16 and spread 7/16 to the
// next pixel, 3/16, 5/16 and 1/16 to the row below; rows alternate direction.
#include "imaging/gray_dither.h"

#include <array>

namespace quorvel::imaging {
namespace {

// A sample plus error lies within -255 .. 510; the table covers more to be safe.
constexpr int kLow = -512;
constexpr int kSize = 1280;

struct Choice {
  std::uint8_t level;  // the output sample
  std::int16_t error;  // the clamped sample minus the level
};

constexpr std::array<Choice, kSize> MakeChoices() {
  std::array<Choice, kSize> table{};
  constexpr int maxj = kGrayLevels - 1;
  for (int i = 0; i < kSize; ++i) {
    const int v = i + kLow < 0 ? 0 : i + kLow > 255 ? 255 : i + kLow;
    int j = 0;
    while ((static_cast<long>(2 * j + 1) * 255 + maxj) / (2 * maxj) < v) ++j;
    const int level = (j * 255 + maxj / 2) / maxj;
    table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(level),
                                          static_cast<std::int16_t>(v - level)};
  }
  return table;
}

constexpr std::array<Choice, kSize> kChoices = MakeChoices();

}  // namespace

void DitherGrayRow(GrayDitherState& state, const std::uint8_t* in, std::uint8_t* bgr) {
  const int dir = state.right_to_left ? -1 : 1;
  // `e` points at the entry of the previous column; entries 1 .. width belong to the columns.
  int* e = state.errors + (state.right_to_left ? state.width + 1 : 0);
  int x = state.right_to_left ? state.width - 1 : 0;
  int cur = 0, below = 0, below_previous = 0;
  for (int n = state.width; n > 0; --n, x += dir, e += dir) {
    cur = (cur + e[dir] + 8) >> 4;  // an arithmetic shift: rounds toward minus infinity
    const Choice& c = kChoices[static_cast<std::size_t>(cur + in[x] - kLow)];
    bgr[3 * x] = bgr[3 * x + 1] = bgr[3 * x + 2] = c.level;
    cur = c.error;
    const int below_next = cur;
    e[0] = below_previous + 3 * cur;
    below_previous = below + 5 * cur;
    below = below_next;
    cur *= 7;
  }
  e[0] = below_previous;
  state.right_to_left = !state.right_to_left;
}

}  // namespace quorvel::imaging
