// The inner loops of the streaming resampler, in a plain form and in forms for the vector
// units of x86-64 processors. Every form gives the plain resampler's bits: lists admitted by
// FusedTapsExact go through single-precision FMA, the others through the double-then-float
// rounding of each tap, in list order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel::imaging {

enum class ResamplerKernel { Plain, Avx2, Avx512 };

bool ResamplerKernelRuns(ResamplerKernel kernel);
ResamplerKernel FastestResamplerKernel();

// Rows of one horizontal batch: the lanes of the vector forms.
inline constexpr int kLanes = 16;

// One axis's contributor lists, flattened: taps start[i] .. start[i + 1] - 1 feed pixel i, and
// fused[i] says whether list i may use FMA.
struct TapView {
  const int* start;
  const int* pixel;
  const float* weight;
  const std::uint8_t* fused;
  int size;
};

// The horizontal pass over one batch. `lanes` holds the batch as floats, sample k of row l at
// lanes[k * kLanes + l]; the stored samples go to out[(i * 3 + channel) * kLanes + l].
void HorizontalBatch(ResamplerKernel kernel, const float* lanes, const TapView& columns,
                     std::uint8_t* out);

// One output row of the vertical pass: list `i` of `rows` over the intermediate rows, which are
// `stride` bytes apart (a multiple of 64) and are read whole, the pad past the samples too.
// `out` receives `stride` bytes.
void VerticalRow(ResamplerKernel kernel, const std::uint8_t* work, std::size_t stride,
                 const TapView& rows, int i, std::uint8_t* out);

// Sample k of row l to lanes[k * kLanes + l] as a float, for kLanes rows of `samples` bytes.
void TransposeToLanes(ResamplerKernel kernel, const std::uint8_t* const* rows, std::size_t samples,
                      float* lanes);
// The reverse for bytes: lanes[k * kLanes + l] to rows[l][k], for the first `count` rows.
void TransposeFromLanes(const std::uint8_t* lanes, std::size_t samples, std::uint8_t* const* rows,
                        int count);

}  // namespace quorvel::imaging
