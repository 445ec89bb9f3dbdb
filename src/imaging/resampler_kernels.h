// The inner loops of the streaming resampler, written once with Highway and compiled for each of
// its targets on this processor family (AVX-512, AVX2, SSE4, SSSE3 and a portable fallback on
// x86-64). Every target gives the reference's bits: lists admitted by FusedTapsExact go through
// single-precision FMA where the target has one, all others through the double-then-float
// rounding of each tap, in list order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvel::imaging {

// One of Highway's targets (a single bit such as HWY_AVX2): the instruction set the loops run in.
using ResamplerKernel = std::int64_t;

// The targets this build compiled, best first; the processor may not run them all.
std::vector<ResamplerKernel> CompiledResamplerKernels();
bool ResamplerKernelRuns(ResamplerKernel kernel);
// The best target the processor runs, as Highway's own dispatch would choose it.
ResamplerKernel FastestResamplerKernel();
// Highway's name of the target: "AVX3" (AVX-512), "AVX2", "SSE4", "SSSE3", and for the fallback
// without vectors "SCALAR" (or "EMU128" from compilers it trusts with emulated vectors).
const char* ResamplerKernelName(ResamplerKernel kernel);

// Rows of one horizontal batch: the lanes of the vectors.
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

// Each function runs the loops compiled for `kernel`, which must be one the processor runs.

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
void TransposeFromLanes(ResamplerKernel kernel, const std::uint8_t* lanes, std::size_t samples,
                        std::uint8_t* const* rows, int count);

}  // namespace quorvel::imaging
