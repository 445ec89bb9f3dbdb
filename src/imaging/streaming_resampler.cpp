// The SIMD form of the exact resampler. Every lane evaluates, tap by tap in list order,
// float(double(sum) + double(sample) * double(weight)) — the reference's expression — and
// nothing is ever summed across lanes, so no result depends on the vector width. The file is
// built without FMA contraction or fast-math, like the rest of the imaging library.
#include "imaging/streaming_resampler.h"

#include <algorithm>
#include <cstring>

#include "imaging/resample_bitmap.h"

// One copy per instruction set, picked when the program starts.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QUORVEL_SIMD_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define QUORVEL_SIMD_CLONES
#endif

namespace quorvel::imaging {
namespace {

constexpr int kLanes = 8;  // rows of one batch
using Doubles = double __attribute__((vector_size(kLanes * sizeof(double))));
using Floats = float __attribute__((vector_size(kLanes * sizeof(float))));

// Vectors pass by reference only: by value their calling convention differs between the
// instruction-set copies.
inline void Tap(Floats& sum, const float* samples, double weight) {
  Floats loaded;
  std::memcpy(&loaded, samples, sizeof loaded);
  const Doubles wide = __builtin_convertvector(sum, Doubles) +
                       __builtin_convertvector(loaded, Doubles) * weight;
  sum = __builtin_convertvector(wide, Floats);
}

// The horizontal sums of one batch: for each output pixel, three vectors (blue, green, red)
// of kLanes rows, stored at sums[i * 3 * kLanes].
QUORVEL_SIMD_CLONES
void HorizontalSums(const float* lanes, const int* start, const int* pixel, const float* weight,
                    int width, float* sums) {
  for (int i = 0; i < width; ++i) {
    Floats b = {}, g = {}, r = {};
    for (int t = start[i]; t < start[i + 1]; ++t) {
      const float* p = lanes + static_cast<std::size_t>(pixel[t]) * 3 * kLanes;
      const double w = weight[t];
      Tap(b, p, w);
      Tap(g, p + kLanes, w);
      Tap(r, p + 2 * kLanes, w);
    }
    float* out = sums + static_cast<std::size_t>(i) * 3 * kLanes;
    std::memcpy(out, &b, sizeof b);
    std::memcpy(out + kLanes, &g, sizeof g);
    std::memcpy(out + 2 * kLanes, &r, sizeof r);
  }
}

// One tap of the vertical pass over a whole intermediate row, lanes along the row.
QUORVEL_SIMD_CLONES
void VerticalTap(const std::uint8_t* row, double weight, int samples, float* sums) {
  for (int k = 0; k < samples; ++k) {
    sums[k] = static_cast<float>(static_cast<double>(sums[k]) +
                                 static_cast<double>(row[k]) * weight);
  }
}

}  // namespace

void StreamingResampler::Taps::Compute(int sourceSize, int destinationSize, FilterFunction f,
                                       float s) {
  // Folders of one camera give the same sizes over and over.
  if (sourceSize == source_size && destinationSize == size && f == filter && s == support) return;
  const std::vector<ContributorList> lists = ComputeContributors(sourceSize, destinationSize, f, s);
  start.assign(1, 0);
  pixel.clear();
  weight.clear();
  for (const ContributorList& list : lists) {
    for (const Contributor& c : list) {
      pixel.push_back(c.pixel);
      weight.push_back(c.weight);
    }
    start.push_back(static_cast<int>(pixel.size()));
  }
  source_size = sourceSize;
  size = destinationSize;
  filter = f;
  support = s;
}

void StreamingResampler::Start(int sourceWidth, int sourceHeight, int width, int height,
                               FilterFunction filter, float support) {
  source_width_ = sourceWidth;
  source_height_ = sourceHeight;
  width_ = width;
  height_ = height;
  columns_.Compute(sourceWidth, width, filter, support);
  rows_.Compute(sourceHeight, height, filter, support);
  const std::size_t row_samples = static_cast<std::size_t>(width) * 3;
  lanes_.resize(static_cast<std::size_t>(sourceWidth) * 3 * kLanes);
  sums_.resize(std::max(row_samples * kLanes, row_samples));
  work_.assign(row_samples * static_cast<std::size_t>(sourceHeight), 0);
}

void StreamingResampler::TakeRows(int first, const std::uint8_t* const* rows, int count) {
  const std::size_t samples = static_cast<std::size_t>(source_width_) * 3;
  for (int l = 0; l < count; ++l) {
    const std::uint8_t* in = rows[l];
    float* out = lanes_.data() + l;
    for (std::size_t k = 0; k < samples; ++k) out[k * kLanes] = in[k];
  }
  HorizontalSums(lanes_.data(), columns_.start.data(), columns_.pixel.data(),
                 columns_.weight.data(), width_, sums_.data());
  const std::size_t row_samples = static_cast<std::size_t>(width_) * 3;
  for (int l = 0; l < count; ++l) {
    std::uint8_t* out = work_.data() + static_cast<std::size_t>(first + l) * row_samples;
    for (std::size_t k = 0; k < row_samples; ++k) {
      // Sample k = 3 * i + channel sits in lane l of that pixel's channel vector.
      out[k] = SampleFromSum(sums_[k * kLanes + static_cast<std::size_t>(l)]);
    }
  }
}

void StreamingResampler::Finish(TFastBmp& destination) {
  if (destination.Width() != width_ || destination.Height() != height_) {
    destination = TFastBmp(width_, height_);
  }
  const int samples = width_ * 3;
  const std::size_t row_samples = static_cast<std::size_t>(samples);
  for (int i = 0; i < height_; ++i) {
    std::fill_n(sums_.begin(), row_samples, 0.0f);
    for (int t = rows_.start[static_cast<std::size_t>(i)];
         t < rows_.start[static_cast<std::size_t>(i) + 1]; ++t) {
      const std::uint8_t* row =
          work_.data() + static_cast<std::size_t>(rows_.pixel[static_cast<std::size_t>(t)]) * row_samples;
      VerticalTap(row, rows_.weight[static_cast<std::size_t>(t)], samples, sums_.data());
    }
    std::uint8_t* out = destination.Row(i);
    for (std::size_t k = 0; k < row_samples; ++k) out[k] = SampleFromSum(sums_[k]);
  }
}

void ResampleBitmapStreaming(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                             float support, StreamingResampler& resampler) {
  if (source.Width() <= 0 || source.Height() <= 0 || destination.Width() <= 0 ||
      destination.Height() <= 0) {
    return;
  }
  resampler.Start(source.Width(), source.Height(), destination.Width(), destination.Height(),
                  filter, support);
  for (int y = 0; y < source.Height(); y += 8) {
    const std::uint8_t* rows[8];
    const int count = std::min(8, source.Height() - y);
    for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
    resampler.TakeRows(y, rows, count);
  }
  resampler.Finish(destination);
}

}  // namespace quorvel::imaging
