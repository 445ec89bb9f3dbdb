// The resampler alone, reference against the streaming kernels, on camera-sized pictures
// shrunk to thumbnails and on a small picture enlarged.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/resample_bitmap.h"
#include "imaging/streaming_resampler.h"

namespace {

using quorvel::imaging::ResamplerKernel;
using quorvel::imaging::TFastBmp;

struct Shape {
  int sw, sh, dw, dh;
};
constexpr Shape kShapes[] = {{6000, 4000, 160, 107}, {3000, 2000, 160, 107}, {100, 75, 640, 480}};

// One source bitmap per shape, made once.
const TFastBmp& Source(int shape) {
  static TFastBmp sources[std::size(kShapes)];
  TFastBmp& bmp = sources[shape];
  if (bmp.Width() == 0) {
    const Shape& s = kShapes[shape];
    bmp = TFastBmp(s.sw, s.sh);
    std::mt19937 rng(shape + 1);
    for (int y = 0; y < s.sh; ++y) {
      for (int k = 0; k < 3 * s.sw; ++k) bmp.Row(y)[k] = static_cast<std::uint8_t>(rng());
    }
  }
  return bmp;
}

void SetLabel(benchmark::State& state, const Shape& s) {
  state.SetLabel(std::to_string(s.sw) + "x" + std::to_string(s.sh) + " -> " + std::to_string(s.dw) +
                 "x" + std::to_string(s.dh));
  state.SetItemsProcessed(state.iterations() * s.sw * s.sh);
}

void BM_Reference(benchmark::State& state) {
  const Shape& s = kShapes[state.range(0)];
  const TFastBmp& source = Source(static_cast<int>(state.range(0)));
  TFastBmp out(s.dw, s.dh);
  for (auto _ : state) {
    quorvel::imaging::ResampleBitmap(source, out, quorvel::imaging::Lanczos3Filter, 3.0f);
    benchmark::DoNotOptimize(out.Row(0));
  }
  SetLabel(state, s);
}

// Kernels by number: 0 Highway's fallback without vectors, 1 AVX2, 2 AVX-512 (Highway's AVX3).
ResamplerKernel KernelNumbered(std::int64_t number) {
  const std::vector<ResamplerKernel> compiled = quorvel::imaging::CompiledResamplerKernels();
  if (number == 0) return compiled.back();
  for (const ResamplerKernel k : compiled) {
    if (quorvel::imaging::ResamplerKernelName(k) == std::string(number == 1 ? "AVX2" : "AVX3")) {
      return k;
    }
  }
  return 0;  // not compiled: runs nowhere
}

void BM_Streaming(benchmark::State& state) {
  const Shape& s = kShapes[state.range(0)];
  const ResamplerKernel kernel = KernelNumbered(state.range(1));
  if (!quorvel::imaging::ResamplerKernelRuns(kernel)) {
    state.SkipWithError("this processor cannot run the kernel");
    return;
  }
  const TFastBmp& source = Source(static_cast<int>(state.range(0)));
  quorvel::imaging::StreamingResampler resampler(kernel);
  TFastBmp out(s.dw, s.dh);
  for (auto _ : state) {
    quorvel::imaging::ResampleBitmapStreaming(source, out, quorvel::imaging::Lanczos3Filter, 3.0f,
                                              resampler);
    benchmark::DoNotOptimize(out.Row(0));
  }
  SetLabel(state, s);
}

BENCHMARK(BM_Reference)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
// Kernels as numbered above.
BENCHMARK(BM_Streaming)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
