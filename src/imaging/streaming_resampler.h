// The exact resampler fed a picture batch by batch of rows as it is decoded: the horizontal
// pass runs on each batch straight away, so only the narrow intermediate is ever held, and the
// vertical pass runs at the end. The rows of a batch (horizontal) and the samples of a row
// (vertical) go through SIMD lanes, each lane doing the reference's taps in list order with the
// same results, so the output equals ResampleBitmap bit for bit. Buffers and the contributor
// lists of recent sizes are kept from one picture to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/contributor_list.h"
#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/resampler_kernels.h"

namespace quorvel::imaging {

class StreamingResampler {
 public:
  static constexpr int kMaxRows = kLanes;  // rows of one batch

  // A kernel this processor cannot run gives way to the fastest one it runs.
  explicit StreamingResampler(ResamplerKernel kernel = FastestResamplerKernel());

  // Sizes must be positive.
  void Start(int sourceWidth, int sourceHeight, int width, int height, FilterFunction filter,
             float support);
  // `count` (1 to kMaxRows) consecutive source rows from `first`, each sourceWidth pixels BGR.
  void TakeRows(int first, const std::uint8_t* const* rows, int count);
  // The same batch already turned into lanes by TurnIntoLanes, so that several resamplers of
  // one picture (its outputs of different sizes) turn each batch only once.
  void TakeLanes(int first, const float* lanes, int count);
  // `count` rows of `width` pixels into `lanes` (at least width * 3 * kLanes floats) as
  // TakeLanes wants them; lanes beyond `count` repeat the last row.
  void TurnIntoLanes(const std::uint8_t* const* rows, int count, int width, float* lanes) const;
  // The resampled picture; rows never handed over count as black.
  void Finish(TFastBmp& destination);

 private:
  // One axis's contributor lists, flattened, with the FMA admission of each list.
  struct Taps {
    int source_size = 0;
    int size = 0;
    FilterFunction filter = nullptr;
    float support = 0.0f;
    std::vector<int> start;
    std::vector<int> pixel;
    std::vector<float> weight;
    std::vector<std::uint8_t> fused;
    void Compute(int sourceSize, int destinationSize, FilterFunction f, float s);
    TapView View() const { return {start.data(), pixel.data(), weight.data(), fused.data(), size}; }
  };
  // The lists of one axis (0 columns, 1 rows), from the last few sizes when one matches.
  const Taps& TapsFor(int axis, int sourceSize, int destinationSize, FilterFunction f, float s);

  ResamplerKernel kernel_;
  int source_width_ = 0;
  int source_height_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::vector<Taps> recent_[2];  // per axis, most recently used first
  TapView columns_{};
  TapView rows_{};
  std::vector<float> lanes_;        // one batch as floats: [(x * 3 + channel) * 16 + row]
  std::vector<std::uint8_t> sums_;  // one batch's stored samples, in the same order
  std::size_t stride_ = 0;          // bytes per intermediate row: width_ * 3 rounded up to 64
  std::vector<std::uint8_t> work_;  // the horizontal pass's result, stride_ per row
  int received_ = 0;                // rows of work_ written so far
  std::vector<std::uint8_t> out_;   // one output row, stride_ bytes
};

// The whole of `source` through a StreamingResampler into `destination` (of the target size).
void ResampleBitmapStreaming(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                             float support, StreamingResampler& resampler);

}  // namespace quorvel::imaging
