// The resampler's inner loops. A fused list runs as fmaf(sample, weight, sum), which equals the
// tap's double-then-float rounding (fused_taps.cpp proves it); any other list evaluates
// float(double(sum) + double(sample) * double(weight)) as written, where the product of an
// 8-bit sample and a float weight is exact, so a double FMA gives the same double sum. Nothing
// is summed across lanes, so no result depends on the vector width. The vector forms keep
// several independent chains in flight: two columns of three channels (AVX-512), or six halves
// of one column (AVX2).
#include "imaging/resampler_kernels.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "imaging/resample_bitmap.h"

namespace quorvel::imaging {
namespace {

constexpr int kPixel = 3 * kLanes;  // floats of one source pixel in the lanes
constexpr int kChunk = 64;          // samples of one vertical step

void HorizontalPlain(const float* lanes, const TapView& c, std::uint8_t* out) {
  for (int i = 0; i < c.size; ++i) {
    float acc[kPixel] = {};
    for (int t = c.start[i]; t < c.start[i + 1]; ++t) {
      const float* p = lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel;
      for (int k = 0; k < kPixel; ++k) acc[k] = Accumulate(acc[k], p[k], c.weight[t]);
    }
    for (int k = 0; k < kPixel; ++k) out[i * kPixel + k] = SampleFromSum(acc[k]);
  }
}

void VerticalPlain(const std::uint8_t* work, std::size_t stride, const TapView& r, int i,
                   std::uint8_t* out) {
  for (std::size_t k = 0; k < stride; k += kChunk) {
    float acc[kChunk] = {};
    for (int t = r.start[i]; t < r.start[i + 1]; ++t) {
      const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
      for (int j = 0; j < kChunk; ++j) acc[j] = Accumulate(acc[j], row[j], r.weight[t]);
    }
    for (int j = 0; j < kChunk; ++j) out[k + j] = SampleFromSum(acc[j]);
  }
}

// GCC 12's AVX-512 conversion intrinsics start from an "undefined" register it then reports;
// the kernels below are the only code that uses them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define QUORVEL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx2,fma")))
#define QUORVEL_AVX2 __attribute__((target("avx2,fma")))

// Sixteen sums as stored samples: nearest, ties to even, then clipped to 0..255.
QUORVEL_AVX512 inline void Store16(__m512 sum, std::uint8_t* out) {
  __m512i v = _mm512_cvt_roundps_epi32(sum, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
  v = _mm512_min_epi32(_mm512_max_epi32(v, _mm512_setzero_si512()), _mm512_set1_epi32(255));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_cvtepi32_epi8(v));
}

QUORVEL_AVX512 inline void Store16(__m512d low, __m512d high, std::uint8_t* out) {
  const __m512d both =
      _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_castps_pd(_mm512_cvtpd_ps(low))),
                         _mm256_castps_pd(_mm512_cvtpd_ps(high)), 1);
  Store16(_mm512_castpd_ps(both), out);
}

// One double-rounded tap on eight lanes: the double sum, then back to a float value.
QUORVEL_AVX512 inline __m512d Tap8(__m512d sum, __m512d sample, __m512d weight) {
  return _mm512_cvtps_pd(_mm512_cvtpd_ps(_mm512_fmadd_pd(sample, weight, sum)));
}

// The sums of one column of a batch: three vectors of floats on the fused path, six of doubles
// holding float values on the exact one.
template <bool kFused>
struct ColumnSums {
  __m512 f[3];
  __m512d d[6];
  QUORVEL_AVX512 void Clear() {
    if constexpr (kFused) {
      for (__m512& v : f) v = _mm512_setzero_ps();
    } else {
      for (__m512d& v : d) v = _mm512_setzero_pd();
    }
  }
  QUORVEL_AVX512 void Add(const float* p, float weight) {
    if constexpr (kFused) {
      const __m512 w = _mm512_set1_ps(weight);
#pragma GCC unroll 3
      for (int h = 0; h < 3; ++h) f[h] = _mm512_fmadd_ps(_mm512_loadu_ps(p + 16 * h), w, f[h]);
    } else {
      const __m512d w = _mm512_set1_pd(weight);
#pragma GCC unroll 6
      for (int h = 0; h < 6; ++h) d[h] = Tap8(d[h], _mm512_cvtps_pd(_mm256_loadu_ps(p + 8 * h)), w);
    }
  }
  QUORVEL_AVX512 void Store(std::uint8_t* out) const {
    for (int h = 0; h < 3; ++h) {
      if constexpr (kFused) {
        Store16(f[h], out + 16 * h);
      } else {
        Store16(d[2 * h], d[2 * h + 1], out + 16 * h);
      }
    }
  }
};

// Columns i and i + 1 (when there is one) together, so that the chains of both are in flight;
// their lists run side by side, each in its own order.
template <bool kFusedA, bool kFusedB>
QUORVEL_AVX512 void ColumnPairAvx512(const float* lanes, const TapView& c, int i,
                                     std::uint8_t* out) {
  const bool pair = i + 1 < c.size;
  const int a = c.start[i], b = c.start[i + 1];
  const int na = b - a, nb = pair ? c.start[i + 2] - b : 0;
  ColumnSums<kFusedA> sa;
  ColumnSums<kFusedB> sb;
  sa.Clear();
  sb.Clear();
  const auto at = [&](int t) { return lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel; };
  const int both = std::min(na, nb);
  for (int k = 0; k < both; ++k) {
    sa.Add(at(a + k), c.weight[a + k]);
    sb.Add(at(b + k), c.weight[b + k]);
  }
  for (int k = both; k < na; ++k) sa.Add(at(a + k), c.weight[a + k]);
  for (int k = both; k < nb; ++k) sb.Add(at(b + k), c.weight[b + k]);
  sa.Store(out + i * kPixel);
  if (pair) sb.Store(out + (i + 1) * kPixel);
}

QUORVEL_AVX512 void HorizontalAvx512(const float* lanes, const TapView& c, std::uint8_t* out) {
  for (int i = 0; i < c.size; i += 2) {
    const bool fa = c.fused[i] != 0;
    const bool fb = i + 1 < c.size && c.fused[i + 1] != 0;
    if (fa && fb) ColumnPairAvx512<true, true>(lanes, c, i, out);
    if (fa && !fb) ColumnPairAvx512<true, false>(lanes, c, i, out);
    if (!fa && fb) ColumnPairAvx512<false, true>(lanes, c, i, out);
    if (!fa && !fb) ColumnPairAvx512<false, false>(lanes, c, i, out);
  }
}

QUORVEL_AVX512 void VerticalAvx512(const std::uint8_t* work, std::size_t stride, const TapView& r,
                                   int i, std::uint8_t* out) {
  const int first = r.start[i], end = r.start[i + 1];
  for (std::size_t k = 0; k < stride; k += kChunk) {
    if (r.fused[i]) {
      __m512 s[4];
      for (__m512& v : s) v = _mm512_setzero_ps();
      for (int t = first; t < end; ++t) {
        const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
        const __m512 w = _mm512_set1_ps(r.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 4; ++h) {
          const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16 * h));
          s[h] = _mm512_fmadd_ps(_mm512_cvtepi32_ps(_mm512_cvtepu8_epi32(bytes)), w, s[h]);
        }
      }
      for (int h = 0; h < 4; ++h) Store16(s[h], out + k + 16 * h);
    } else {
      __m512d s[8];
      for (__m512d& v : s) v = _mm512_setzero_pd();
      for (int t = first; t < end; ++t) {
        const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
        const __m512d w = _mm512_set1_pd(r.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 8; ++h) {
          const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 8 * h));
          s[h] = Tap8(s[h], _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(bytes)), w);
        }
      }
      for (int h = 0; h < 4; ++h) Store16(s[2 * h], s[2 * h + 1], out + k + 16 * h);
    }
  }
}

// Eight sums as stored samples; the saturating packs clip to 0..255.
QUORVEL_AVX2 inline void Store8(__m256 sum, std::uint8_t* out) {
  const __m256i v = _mm256_cvtps_epi32(sum);  // nearest, ties to even
  const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

QUORVEL_AVX2 inline void Store8(__m256d low, __m256d high, std::uint8_t* out) {
  Store8(_mm256_set_m128(_mm256_cvtpd_ps(high), _mm256_cvtpd_ps(low)), out);
}

QUORVEL_AVX2 inline __m256d Tap4(__m256d sum, __m256d sample, __m256d weight) {
  return _mm256_cvtps_pd(_mm256_cvtpd_ps(_mm256_fmadd_pd(sample, weight, sum)));
}

QUORVEL_AVX2 void HorizontalAvx2(const float* lanes, const TapView& c, std::uint8_t* out) {
  for (int i = 0; i < c.size; ++i) {
    std::uint8_t* o = out + i * kPixel;
    if (c.fused[i]) {
      __m256 s[6];
      for (__m256& v : s) v = _mm256_setzero_ps();
      for (int t = c.start[i]; t < c.start[i + 1]; ++t) {
        const float* p = lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel;
        const __m256 w = _mm256_set1_ps(c.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 6; ++h) s[h] = _mm256_fmadd_ps(_mm256_loadu_ps(p + 8 * h), w, s[h]);
      }
      for (int h = 0; h < 6; ++h) Store8(s[h], o + 8 * h);
    } else {
      __m256d s[12];
      for (__m256d& v : s) v = _mm256_setzero_pd();
      for (int t = c.start[i]; t < c.start[i + 1]; ++t) {
        const float* p = lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel;
        const __m256d w = _mm256_set1_pd(c.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 12; ++h) s[h] = Tap4(s[h], _mm256_cvtps_pd(_mm_loadu_ps(p + 4 * h)), w);
      }
      for (int h = 0; h < 6; ++h) Store8(s[2 * h], s[2 * h + 1], o + 8 * h);
    }
  }
}

QUORVEL_AVX2 void VerticalAvx2(const std::uint8_t* work, std::size_t stride, const TapView& r,
                               int i, std::uint8_t* out) {
  const int first = r.start[i], end = r.start[i + 1];
  for (std::size_t k = 0; k < stride; k += 32) {
    if (r.fused[i]) {
      __m256 s[4];
      for (__m256& v : s) v = _mm256_setzero_ps();
      for (int t = first; t < end; ++t) {
        const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
        const __m256 w = _mm256_set1_ps(r.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 4; ++h) {
          const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 8 * h));
          s[h] = _mm256_fmadd_ps(_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)), w, s[h]);
        }
      }
      for (int h = 0; h < 4; ++h) Store8(s[h], out + k + 8 * h);
    } else {
      __m256d s[8];
      for (__m256d& v : s) v = _mm256_setzero_pd();
      for (int t = first; t < end; ++t) {
        const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
        const __m256d w = _mm256_set1_pd(r.weight[t]);
#pragma GCC unroll 12
        for (int h = 0; h < 8; ++h) {
          std::int32_t four;
          std::memcpy(&four, row + 4 * h, sizeof four);
          const __m128i bytes = _mm_cvtsi32_si128(four);
          s[h] = Tap4(s[h], _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(bytes)), w);
        }
      }
      for (int h = 0; h < 4; ++h) Store8(s[2 * h], s[2 * h + 1], out + k + 8 * h);
    }
  }
}

#endif

#if defined(__SSE2__)
// A 16 x 16 byte block: in[r] holds row r, out[c] receives column c.
__attribute__((always_inline)) inline void Transpose16(const __m128i in[16], __m128i out[16]) {
  __m128i b[16], c[16], d[16];
// Pairs of rows, then quads, eights and all sixteen, interleaved a step wider each time.
#pragma GCC unroll 16
  for (int i = 0; i < 8; ++i) {
    b[2 * i] = _mm_unpacklo_epi8(in[2 * i], in[2 * i + 1]);
    b[2 * i + 1] = _mm_unpackhi_epi8(in[2 * i], in[2 * i + 1]);
  }
#pragma GCC unroll 16
  for (int q = 0; q < 4; ++q) {
    c[4 * q] = _mm_unpacklo_epi16(b[4 * q], b[4 * q + 2]);
    c[4 * q + 1] = _mm_unpackhi_epi16(b[4 * q], b[4 * q + 2]);
    c[4 * q + 2] = _mm_unpacklo_epi16(b[4 * q + 1], b[4 * q + 3]);
    c[4 * q + 3] = _mm_unpackhi_epi16(b[4 * q + 1], b[4 * q + 3]);
  }
// c[4q + g]: columns 4g .. 4g + 3 of rows 4q .. 4q + 3.
#pragma GCC unroll 12
  for (int h = 0; h < 2; ++h) {
#pragma GCC unroll 16
    for (int g = 0; g < 4; ++g) {
      d[8 * h + 2 * g] = _mm_unpacklo_epi32(c[8 * h + g], c[8 * h + 4 + g]);
      d[8 * h + 2 * g + 1] = _mm_unpackhi_epi32(c[8 * h + g], c[8 * h + 4 + g]);
    }
  }
// d[8h + 2g + m]: columns 4g + 2m, 4g + 2m + 1 of rows 8h .. 8h + 7.
#pragma GCC unroll 16
  for (int g = 0; g < 4; ++g) {
#pragma GCC unroll 16
    for (int m = 0; m < 2; ++m) {
      out[4 * g + 2 * m] = _mm_unpacklo_epi64(d[2 * g + m], d[8 + 2 * g + m]);
      out[4 * g + 2 * m + 1] = _mm_unpackhi_epi64(d[2 * g + m], d[8 + 2 * g + m]);
    }
  }
}

// Samples k .. k + 15 of the sixteen rows, turned: out[j] holds sample k + j of every row.
__attribute__((always_inline)) inline void BlockFromRows(const std::uint8_t* const* rows,
                                                         std::size_t k, __m128i out[16]) {
  __m128i in[16];
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i)
    in[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i] + k));
  Transpose16(in, out);
}

// Each returns how many samples it turned into lanes, whole blocks of 16.
std::size_t LanesSse2(const std::uint8_t* const* rows, std::size_t samples, float* lanes) {
  std::size_t k = 0;
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= samples; k += 16) {
    __m128i out[16];
    BlockFromRows(rows, k, out);
#pragma GCC unroll 16
    for (int j = 0; j < 16; ++j) {
      const __m128i low = _mm_unpacklo_epi8(out[j], zero);
      const __m128i high = _mm_unpackhi_epi8(out[j], zero);
      float* o = lanes + (k + static_cast<std::size_t>(j)) * kLanes;
      _mm_storeu_ps(o, _mm_cvtepi32_ps(_mm_unpacklo_epi16(low, zero)));
      _mm_storeu_ps(o + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(low, zero)));
      _mm_storeu_ps(o + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(high, zero)));
      _mm_storeu_ps(o + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(high, zero)));
    }
  }
  return k;
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
QUORVEL_AVX2 std::size_t LanesAvx2(const std::uint8_t* const* rows, std::size_t samples,
                                   float* lanes) {
  std::size_t k = 0;
  for (; k + 16 <= samples; k += 16) {
    __m128i out[16];
    BlockFromRows(rows, k, out);
#pragma GCC unroll 16
    for (int j = 0; j < 16; ++j) {
      float* o = lanes + (k + static_cast<std::size_t>(j)) * kLanes;
      _mm256_storeu_ps(o, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(out[j])));
      _mm256_storeu_ps(o + 8, _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_srli_si128(out[j], 8))));
    }
  }
  return k;
}

QUORVEL_AVX512 std::size_t LanesAvx512(const std::uint8_t* const* rows, std::size_t samples,
                                       float* lanes) {
  std::size_t k = 0;
  for (; k + 16 <= samples; k += 16) {
    __m128i out[16];
    BlockFromRows(rows, k, out);
#pragma GCC unroll 16
    for (int j = 0; j < 16; ++j) {
      float* o = lanes + (k + static_cast<std::size_t>(j)) * kLanes;
      _mm512_storeu_ps(o, _mm512_cvtepi32_ps(_mm512_cvtepu8_epi32(out[j])));
    }
  }
  return k;
}
#endif

using HorizontalFunction = void (*)(const float*, const TapView&, std::uint8_t*);
using VerticalFunction = void (*)(const std::uint8_t*, std::size_t, const TapView&, int,
                                  std::uint8_t*);

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace

bool ResamplerKernelRuns(ResamplerKernel kernel) {
  switch (kernel) {
    case ResamplerKernel::Plain:
      return true;
#if defined(__x86_64__) && defined(__GNUC__)
    case ResamplerKernel::Avx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case ResamplerKernel::Avx512:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx2") &&
             __builtin_cpu_supports("fma");
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

void HorizontalBatch(ResamplerKernel kernel, const float* lanes, const TapView& columns,
                     std::uint8_t* out) {
  HorizontalFunction f = HorizontalPlain;
#if defined(__x86_64__) && defined(__GNUC__)
  if (kernel == ResamplerKernel::Avx512) f = HorizontalAvx512;
  if (kernel == ResamplerKernel::Avx2) f = HorizontalAvx2;
#endif
  f(lanes, columns, out);
}

void VerticalRow(ResamplerKernel kernel, const std::uint8_t* work, std::size_t stride,
                 const TapView& rows, int i, std::uint8_t* out) {
  VerticalFunction f = VerticalPlain;
#if defined(__x86_64__) && defined(__GNUC__)
  if (kernel == ResamplerKernel::Avx512) f = VerticalAvx512;
  if (kernel == ResamplerKernel::Avx2) f = VerticalAvx2;
#endif
  f(work, stride, rows, i, out);
}

void TransposeToLanes(ResamplerKernel kernel, const std::uint8_t* const* rows, std::size_t samples,
                      float* lanes) {
  std::size_t k = 0;
#if defined(__x86_64__) && defined(__GNUC__)
  if (kernel == ResamplerKernel::Avx512) k = LanesAvx512(rows, samples, lanes);
  if (kernel == ResamplerKernel::Avx2) k = LanesAvx2(rows, samples, lanes);
#endif
#if defined(__SSE2__)
  if (k == 0) k = LanesSse2(rows, samples, lanes);
#endif
  for (; k < samples; ++k) {
    for (int l = 0; l < kLanes; ++l) lanes[k * kLanes + static_cast<std::size_t>(l)] = rows[l][k];
  }
}

void TransposeFromLanes(const std::uint8_t* lanes, std::size_t samples, std::uint8_t* const* rows,
                        int count) {
  std::size_t k = 0;
#if defined(__SSE2__)
  for (; k + 16 <= samples; k += 16) {
    __m128i in[16], out[16];
#pragma GCC unroll 16
    for (int j = 0; j < 16; ++j) {
      in[j] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes + (k + j) * kLanes));
    }
    Transpose16(in, out);
    for (int l = 0; l < count; ++l)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[l] + k), out[l]);
  }
#endif
  for (; k < samples; ++k) {
    for (int l = 0; l < count; ++l) rows[l][k] = lanes[k * kLanes + static_cast<std::size_t>(l)];
  }
}

}  // namespace quorvel::imaging
