// The SIMD form of the exact resampler. Every lane evaluates, tap by tap in list order,
// float(double(sum) + double(sample) * double(weight)) — the reference's expression — and
// nothing is ever summed across lanes, so no result depends on the vector width. The file is
// built without FMA contraction or fast-math, like the rest of the imaging library.
#include "imaging/streaming_resampler.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "imaging/resample_bitmap.h"

namespace quorvel::imaging {
namespace {

constexpr int kLanes = StreamingResampler::kMaxRows;  // the rows of one batch

// The horizontal sums of one batch: for each output pixel, blue, green and red of kLanes
// rows, stored at sums[(i * 3 + channel) * kLanes + row]. The plain form; the vector forms
// below compute the same, lane by lane.
void HorizontalSumsPlain(const std::uint8_t* lanes, const int* start, const int* pixel,
                         const float* weight, int width, float* sums) {
  for (int i = 0; i < width; ++i) {
    float acc[3 * kLanes] = {};
    for (int t = start[i]; t < start[i + 1]; ++t) {
      const std::uint8_t* p = lanes + static_cast<std::size_t>(pixel[t]) * 3 * kLanes;
      const double w = weight[t];
      for (int k = 0; k < 3 * kLanes; ++k) {
        acc[k] = static_cast<float>(static_cast<double>(acc[k]) + static_cast<double>(p[k]) * w);
      }
    }
    std::memcpy(sums + static_cast<std::size_t>(i) * 3 * kLanes, acc, sizeof acc);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// GCC 12's AVX-512 conversion intrinsics start from an "undefined" register it then reports.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Sixteen rows as six vectors of eight: six independent chains per tap keep the units busy.
__attribute__((target("avx512f,avx2"))) void HorizontalSumsAvx512(const std::uint8_t* lanes,
                                                                  const int* start,
                                                                  const int* pixel,
                                                                  const float* weight, int width,
                                                                  float* sums) {
  constexpr int kChains = 3 * kLanes / 8;
  for (int i = 0; i < width; ++i) {
    __m256 acc[kChains];
    for (__m256& a : acc) a = _mm256_setzero_ps();
    for (int t = start[i]; t < start[i + 1]; ++t) {
      const std::uint8_t* p = lanes + static_cast<std::size_t>(pixel[t]) * 3 * kLanes;
      const __m512d w = _mm512_set1_pd(static_cast<double>(weight[t]));
#pragma GCC unroll 8
      for (int c = 0; c < kChains; ++c) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 8 * c));
        const __m512d samples = _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(bytes));
        const __m512d sum = _mm512_add_pd(_mm512_cvtps_pd(acc[c]), _mm512_mul_pd(samples, w));
        acc[c] = _mm512_cvtpd_ps(sum);
      }
    }
    float* out = sums + static_cast<std::size_t>(i) * 3 * kLanes;
    for (int c = 0; c < kChains; ++c) _mm256_storeu_ps(out + 8 * c, acc[c]);
  }
}

#pragma GCC diagnostic pop

// Sixteen rows as twelve vectors of four.
__attribute__((target("avx2"))) void HorizontalSumsAvx2(const std::uint8_t* lanes, const int* start,
                                                        const int* pixel, const float* weight,
                                                        int width, float* sums) {
  constexpr int kChains = 3 * kLanes / 4;
  for (int i = 0; i < width; ++i) {
    __m128 acc[kChains];
    for (__m128& a : acc) a = _mm_setzero_ps();
    for (int t = start[i]; t < start[i + 1]; ++t) {
      const std::uint8_t* p = lanes + static_cast<std::size_t>(pixel[t]) * 3 * kLanes;
      const __m256d w = _mm256_set1_pd(static_cast<double>(weight[t]));
#pragma GCC unroll 12
      for (int c = 0; c < kChains; ++c) {
        std::int32_t four;
        std::memcpy(&four, p + 4 * c, sizeof four);
        const __m256d samples = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)));
        const __m256d sum = _mm256_add_pd(_mm256_cvtps_pd(acc[c]), _mm256_mul_pd(samples, w));
        acc[c] = _mm256_cvtpd_ps(sum);
      }
    }
    float* out = sums + static_cast<std::size_t>(i) * 3 * kLanes;
    for (int c = 0; c < kChains; ++c) _mm_storeu_ps(out + 4 * c, acc[c]);
  }
}
#endif

using HorizontalSumsFunction = void (*)(const std::uint8_t*, const int*, const int*, const float*,
                                        int, float*);

HorizontalSumsFunction HorizontalSumsFor(ResamplerKernel kernel) {
  switch (kernel) {
#if defined(__x86_64__) && defined(__GNUC__)
    case ResamplerKernel::Avx512:
      return HorizontalSumsAvx512;
    case ResamplerKernel::Avx2:
      return HorizontalSumsAvx2;
#endif
    default:
      return HorizontalSumsPlain;
  }
}

// Sample k of row l to lanes[k * kLanes + l], for kLanes rows of `samples` bytes.
void Transpose(const std::uint8_t* const* rows, std::size_t samples, std::uint8_t* lanes) {
  std::size_t k = 0;
#if defined(__SSE2__)
  static_assert(kLanes == 16);
  for (; k + 16 <= samples; k += 16) {
    __m128i a[16], b[16], c[16], d[16];
    for (int i = 0; i < 16; ++i) {
      a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + k));
    }
    // Pairs of rows, then quads, eights and all sixteen, interleaved a step wider each time.
    for (int i = 0; i < 8; ++i) {
      b[2 * i] = _mm_unpacklo_epi8(a[2 * i], a[2 * i + 1]);
      b[2 * i + 1] = _mm_unpackhi_epi8(a[2 * i], a[2 * i + 1]);
    }
    for (int q = 0; q < 4; ++q) {
      c[4 * q] = _mm_unpacklo_epi16(b[4 * q], b[4 * q + 2]);
      c[4 * q + 1] = _mm_unpackhi_epi16(b[4 * q], b[4 * q + 2]);
      c[4 * q + 2] = _mm_unpacklo_epi16(b[4 * q + 1], b[4 * q + 3]);
      c[4 * q + 3] = _mm_unpackhi_epi16(b[4 * q + 1], b[4 * q + 3]);
    }
    // c[4q + g]: columns 4g .. 4g + 3 of rows 4q .. 4q + 3.
    for (int h = 0; h < 2; ++h) {
      for (int g = 0; g < 4; ++g) {
        d[8 * h + 2 * g] = _mm_unpacklo_epi32(c[8 * h + g], c[8 * h + 4 + g]);
        d[8 * h + 2 * g + 1] = _mm_unpackhi_epi32(c[8 * h + g], c[8 * h + 4 + g]);
      }
    }
    // d[8h + 2g + m]: columns 4g + 2m, 4g + 2m + 1 of rows 8h .. 8h + 7.
    for (int g = 0; g < 4; ++g) {
      for (int m = 0; m < 2; ++m) {
        const __m128i lo = d[2 * g + m];
        const __m128i hi = d[8 + 2 * g + m];
        std::uint8_t* out = lanes + (k + 4 * g + 2 * m) * kLanes;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi64(lo, hi));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + kLanes), _mm_unpackhi_epi64(lo, hi));
      }
    }
  }
#endif
  for (; k < samples; ++k) {
    for (int l = 0; l < kLanes; ++l) lanes[k * kLanes + static_cast<std::size_t>(l)] = rows[l][k];
  }
}

// One tap of the vertical pass over a whole intermediate row, lanes along the row; the
// compiler vectorises the plain loop, once per instruction set under GCC.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void VerticalTap(const std::uint8_t* row, double weight, int samples, float* sums) {
  for (int k = 0; k < samples; ++k) {
    sums[k] =
        static_cast<float>(static_cast<double>(sums[k]) + static_cast<double>(row[k]) * weight);
  }
}

}  // namespace

bool ResamplerKernelRuns(ResamplerKernel kernel) {
  switch (kernel) {
    case ResamplerKernel::Plain:
      return true;
#if defined(__x86_64__) && defined(__GNUC__)
    case ResamplerKernel::Avx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
    case ResamplerKernel::Avx512:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

ResamplerKernel FastestResamplerKernel() {
  for (const ResamplerKernel k : {ResamplerKernel::Avx512, ResamplerKernel::Avx2}) {
    if (ResamplerKernelRuns(k)) return k;
  }
  return ResamplerKernel::Plain;
}

StreamingResampler::StreamingResampler(ResamplerKernel kernel)
    : kernel_(ResamplerKernelRuns(kernel) ? kernel : ResamplerKernel::Plain) {}

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
  sums_.resize(row_samples * kLanes);  // one batch's sums, more than one output row needs
  work_.assign(row_samples * static_cast<std::size_t>(sourceHeight), 0);
}

void StreamingResampler::TakeRows(int first, const std::uint8_t* const* rows, int count) {
  // Lanes beyond `count` repeat the last row; their sums are never read.
  const std::uint8_t* batch[kLanes];
  for (int l = 0; l < kLanes; ++l) batch[l] = rows[std::min(l, count - 1)];
  Transpose(batch, static_cast<std::size_t>(source_width_) * 3, lanes_.data());
  HorizontalSumsFor(kernel_)(lanes_.data(), columns_.start.data(), columns_.pixel.data(),
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
          work_.data() +
          static_cast<std::size_t>(rows_.pixel[static_cast<std::size_t>(t)]) * row_samples;
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
  constexpr int kBatch = StreamingResampler::kMaxRows;
  for (int y = 0; y < source.Height(); y += kBatch) {
    const std::uint8_t* rows[kBatch];
    const int count = std::min(kBatch, source.Height() - y);
    for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
    resampler.TakeRows(y, rows, count);
  }
  resampler.Finish(destination);
}

}  // namespace quorvel::imaging
