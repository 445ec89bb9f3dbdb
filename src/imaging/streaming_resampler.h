// The exact resampler fed a picture batch by batch of rows as it is decoded: the horizontal
// pass runs on each batch straight away, so only the narrow intermediate is ever held, and the
// vertical pass runs at the end. The rows of a batch (horizontal) and the samples of a row
// (vertical) go through SIMD lanes, each lane doing the reference's taps in list order with the
// same roundings, so the result equals ResampleBitmap bit for bit. Buffers are kept from one
// picture to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/contributor_list.h"
#include "imaging/fast_bmp.h"
#include "imaging/lanczos3_filter.h"

namespace quorvel::imaging {

// The forms of the horizontal pass: one plain, the others for the vector units of x86-64
// processors. All give the same bits.
enum class ResamplerKernel { Plain, Avx2, Avx512 };

bool ResamplerKernelRuns(ResamplerKernel kernel);
ResamplerKernel FastestResamplerKernel();

class StreamingResampler {
 public:
  static constexpr int kMaxRows = 16;  // rows of one batch

  // A kernel this processor cannot run falls back to the plain one.
  explicit StreamingResampler(ResamplerKernel kernel = FastestResamplerKernel());

  // Sizes must be positive.
  void Start(int sourceWidth, int sourceHeight, int width, int height, FilterFunction filter,
             float support);
  // `count` (1 to kMaxRows) consecutive source rows from `first`, each sourceWidth pixels BGR.
  void TakeRows(int first, const std::uint8_t* const* rows, int count);
  // The resampled picture; rows never handed over count as black.
  void Finish(TFastBmp& destination);

 private:
  // One axis's contributor lists, flattened: taps start[i] .. start[i + 1] - 1 feed pixel i.
  struct Taps {
    int source_size = 0;
    int size = 0;
    FilterFunction filter = nullptr;
    float support = 0.0f;
    std::vector<int> start;
    std::vector<int> pixel;
    std::vector<float> weight;
    void Compute(int sourceSize, int destinationSize, FilterFunction f, float s);
  };

  ResamplerKernel kernel_;
  int source_width_ = 0;
  int source_height_ = 0;
  int width_ = 0;
  int height_ = 0;
  Taps columns_;
  Taps rows_;
  std::vector<std::uint8_t> lanes_;  // one batch, transposed: [(x * 3 + channel) * 16 + row]
  std::vector<float> sums_;          // the horizontal sums of one batch, or one output row
  std::vector<std::uint8_t> work_;   // the horizontal pass's result, width_ * 3 per row
};

// The whole of `source` through a StreamingResampler into `destination` (of the target size).
void ResampleBitmapStreaming(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                             float support, StreamingResampler& resampler);

}  // namespace quorvel::imaging
