// The resampler's inner loops, written once and compiled by Highway for each target. A fused list
// runs as a single-precision multiply-add, which equals the tap's double-then-float rounding
// (fused_taps.cpp proves it), on targets whose multiply-add is one rounding; any other list, and
// every list elsewhere, evaluates float(double(sum) + double(sample) * double(weight)) as
// written, where the product of an 8-bit sample and a float weight is exact, so a double
// multiply-add, fused or not, gives the same double sum. Nothing is summed across lanes, so no
// result depends on the vector width. About six vectors of float sums (twelve of doubles) are
// kept in flight: a column of a batch is 48 floats, so 512-bit vectors take two columns at a
// time and narrower ones one.

// foreach_target.h includes this file again for each target.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "imaging/resampler_kernels.cpp"
// The sums live in arrays of vectors, which the sizeless vectors of these targets cannot form.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SVE | HWY_SVE2 | HWY_SVE_256 | HWY_SVE2_128 | HWY_RVV)
#endif
#include "imaging/resampler_kernels.h"

#include <hwy/foreach_target.h>  // before highway.h
#include <hwy/highway.h>

#include <algorithm>
#include <type_traits>

#include "imaging/resample_bitmap.h"

HWY_BEFORE_NAMESPACE();
namespace quorvel::imaging::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr int kPixel = 3 * kLanes;  // floats of one source pixel in the lanes

// Samples from k on, one at a time: the tails of the block transposes, and the whole of them
// where there are no vectors.
void ToLanesFrom(std::size_t k, const std::uint8_t* const* rows, std::size_t samples,
                 float* lanes) {
  for (; k < samples; ++k) {
    for (int l = 0; l < kLanes; ++l) lanes[k * kLanes + static_cast<std::size_t>(l)] = rows[l][k];
  }
}

void FromLanesFrom(std::size_t k, const std::uint8_t* lanes, std::size_t samples,
                   std::uint8_t* const* rows, int count) {
  for (; k < samples; ++k) {
    for (int l = 0; l < count; ++l) rows[l][k] = lanes[k * kLanes + static_cast<std::size_t>(l)];
  }
}

#if HWY_TARGET == HWY_SCALAR
// Highway's fallback without vectors (its emulated vectors are not trusted with GCC before 12.3):
// the reference's own taps, one sample at a time.
void HorizontalLoops(const float* lanes, const TapView& c, std::uint8_t* out) {
  for (int i = 0; i < c.size; ++i) {
    float acc[kPixel] = {};
    for (int t = c.start[i]; t < c.start[i + 1]; ++t) {
      const float* p = lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel;
      for (int k = 0; k < kPixel; ++k) acc[k] = Accumulate(acc[k], p[k], c.weight[t]);
    }
    for (int k = 0; k < kPixel; ++k) out[i * kPixel + k] = SampleFromSum(acc[k]);
  }
}

void VerticalLoops(const std::uint8_t* work, std::size_t stride, const TapView& r, int i,
                   std::uint8_t* out) {
  constexpr std::size_t kChunk = 64;
  for (std::size_t k = 0; k < stride; k += kChunk) {
    float acc[kChunk] = {};
    for (int t = r.start[i]; t < r.start[i + 1]; ++t) {
      const std::uint8_t* row = work + static_cast<std::size_t>(r.pixel[t]) * stride + k;
      for (std::size_t j = 0; j < kChunk; ++j) acc[j] = Accumulate(acc[j], row[j], r.weight[t]);
    }
    for (std::size_t j = 0; j < kChunk; ++j) out[k + j] = SampleFromSum(acc[j]);
  }
}

void ToLanesLoops(const std::uint8_t* const* rows, std::size_t samples, float* lanes) {
  ToLanesFrom(0, rows, samples, lanes);
}

void FromLanesLoops(const std::uint8_t* lanes, std::size_t samples, std::uint8_t* const* rows,
                    int count) {
  FromLanesFrom(0, lanes, samples, rows, count);
}

#else

using DF = hn::ScalableTag<float>;
using DD = hn::ScalableTag<double>;
using D8 = hn::Full128<std::uint8_t>;  // a row or column of a 16 x 16 byte block
using V8 = hn::Vec<D8>;

constexpr int kFloats = static_cast<int>(hn::MaxLanes(DF()));
constexpr bool kFusedTargets = HWY_NATIVE_FMA != 0;

// Sums as stored samples: nearest, ties to even, then clipped to 0..255. Highway 1.0 narrows
// 32-bit lanes to bytes in several steps, which costs the vertical pass of an enlargement (short
// lists, many samples) 5 to 7 %; AVX-512 and AVX2 use their own instructions here.
HWY_INLINE void StoreSamples(hn::Vec<DF> sum, std::uint8_t* out) {
#if HWY_TARGET <= HWY_AVX3
  const __m512i whole = _mm512_max_epi32(_mm512_cvtps_epi32(sum.raw), _mm512_setzero_si512());
  _mm512_mask_cvtusepi32_storeu_epi8(out, 0xFFFF, whole);  // saturates to 255
#elif HWY_TARGET == HWY_AVX2
  const __m256i whole = _mm256_cvtps_epi32(sum.raw);
  const __m128i halves =
      _mm_packs_epi32(_mm256_castsi256_si128(whole), _mm256_extracti128_si256(whole, 1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(halves, halves));
#else
  // 3 * 2^22 added rounds to a whole number and leaves it, signed, in the low bits; the
  // narrowings saturate it.
  const DF df;
  const hn::RebindToSigned<DF> di;
  const hn::Rebind<std::int16_t, DF> d16;
  const hn::Rebind<std::uint8_t, DF> d8;
  const auto whole = hn::BitCast(di, sum + hn::Set(df, 0x1.8p23f)) - hn::Set(di, 0x4B400000);
  hn::StoreU(hn::DemoteTo(d8, hn::DemoteTo(d16, whole)), d8, out);
#endif
}

HWY_INLINE void StoreSamples(hn::Vec<DD> low, hn::Vec<DD> high, std::uint8_t* out) {
  const hn::Rebind<float, DD> dh;
  StoreSamples(hn::Combine(DF(), hn::DemoteTo(dh, high), hn::DemoteTo(dh, low)), out);
}

// Samples as sums of either kind, from floats or from bytes.
HWY_INLINE hn::Vec<DF> Samples(DF df, const float* p) { return hn::LoadU(df, p); }
HWY_INLINE hn::Vec<DD> Samples(DD dd, const float* p) {
  return hn::PromoteTo(dd, hn::LoadU(hn::Rebind<float, DD>(), p));
}
HWY_INLINE hn::Vec<DF> Samples(DF df, const std::uint8_t* p) {
  const hn::Rebind<std::int32_t, DF> di;
  return hn::ConvertTo(df, hn::PromoteTo(di, hn::LoadU(hn::Rebind<std::uint8_t, DF>(), p)));
}
HWY_INLINE hn::Vec<DD> Samples(DD dd, const std::uint8_t* p) {
  const hn::Rebind<std::int32_t, DD> di;
  return hn::PromoteTo(dd, hn::PromoteTo(di, hn::LoadU(hn::Rebind<std::uint8_t, DD>(), p)));
}

// A tap's weight in every lane; a double one is widened in the vector, which needs no scalar
// conversion inside the loop.
HWY_INLINE hn::Vec<DF> Weight(DF df, float weight) { return hn::Set(df, weight); }
HWY_INLINE hn::Vec<DD> Weight(DD dd, float weight) {
  return hn::PromoteTo(dd, hn::Set(hn::Rebind<float, DD>(), weight));
}

// The running sums of kCount consecutive samples: float vectors on the fused path, double
// vectors holding float values on the exact one.
template <bool kFused, int kCount>
struct Sums {
  using D = std::conditional_t<kFused, DF, DD>;
  static constexpr int kWidth = static_cast<int>(hn::MaxLanes(D()));
  hn::Vec<D> v[kCount / kWidth];

  HWY_INLINE void Clear() {
    HWY_UNROLL(12)
    for (int h = 0; h < kCount / kWidth; ++h) v[h] = hn::Zero(D());
  }
  // One tap over the kCount samples at p.
  template <typename Sample>
  HWY_INLINE void Add(const Sample* p, float weight) {
    const D d;
    const auto w = Weight(d, weight);
    HWY_UNROLL(12)
    for (int h = 0; h < kCount / kWidth; ++h) {
      const auto product = hn::MulAdd(Samples(d, p + kWidth * h), w, v[h]);
      if constexpr (kFused) {
        v[h] = product;
      } else {
        v[h] = hn::PromoteTo(d, hn::DemoteTo(hn::Rebind<float, DD>(), product));
      }
    }
  }
  HWY_INLINE void Store(std::uint8_t* out) const {
    HWY_UNROLL(12)
    for (int h = 0; h < kCount / kFloats; ++h) {
      if constexpr (kFused) {
        StoreSamples(v[h], out + kFloats * h);
      } else {
        StoreSamples(v[2 * h], v[2 * h + 1], out + kFloats * h);
      }
    }
  }
};

template <bool kFused>
using ColumnSums = Sums<kFused, kPixel>;

const float* PixelLanes(const float* lanes, const TapView& c, int t) {
  return lanes + static_cast<std::size_t>(c.pixel[t]) * kPixel;
}

template <bool kFused>
HWY_INLINE void OneColumn(const float* lanes, const TapView& c, int i, std::uint8_t* out) {
  ColumnSums<kFused> s;
  s.Clear();
  for (int t = c.start[i]; t < c.start[i + 1]; ++t) s.Add(PixelLanes(lanes, c, t), c.weight[t]);
  s.Store(out + i * kPixel);
}

// Columns i and i + 1 (when there is one) together, so that the chains of both are in flight;
// their lists run side by side, each in its own order.
template <bool kFusedA, bool kFusedB>
void TwoColumns(const float* lanes, const TapView& c, int i, std::uint8_t* out) {
  const bool pair = i + 1 < c.size;
  const int a = c.start[i], b = c.start[i + 1];
  const int na = b - a, nb = pair ? c.start[i + 2] - b : 0;
  ColumnSums<kFusedA> sa;
  ColumnSums<kFusedB> sb;
  sa.Clear();
  sb.Clear();
  const int both = std::min(na, nb);
  for (int k = 0; k < both; ++k) {
    sa.Add(PixelLanes(lanes, c, a + k), c.weight[a + k]);
    sb.Add(PixelLanes(lanes, c, b + k), c.weight[b + k]);
  }
  for (int k = both; k < na; ++k) sa.Add(PixelLanes(lanes, c, a + k), c.weight[a + k]);
  for (int k = both; k < nb; ++k) sb.Add(PixelLanes(lanes, c, b + k), c.weight[b + k]);
  sa.Store(out + i * kPixel);
  if (pair) sb.Store(out + (i + 1) * kPixel);
}

void HorizontalLoops(const float* lanes, const TapView& c, std::uint8_t* out) {
  if constexpr (kPixel / kFloats < 6) {
    for (int i = 0; i < c.size; i += 2) {
      const bool fa = kFusedTargets && c.fused[i] != 0;
      const bool fb = kFusedTargets && i + 1 < c.size && c.fused[i + 1] != 0;
      if (fa && fb) TwoColumns<true, true>(lanes, c, i, out);
      if (fa && !fb) TwoColumns<true, false>(lanes, c, i, out);
      if (!fa && fb) TwoColumns<false, true>(lanes, c, i, out);
      if (!fa && !fb) TwoColumns<false, false>(lanes, c, i, out);
    }
  } else {
    for (int i = 0; i < c.size; ++i) {
      if (kFusedTargets && c.fused[i] != 0) {
        OneColumn<true>(lanes, c, i, out);
      } else {
        OneColumn<false>(lanes, c, i, out);
      }
    }
  }
}

// A step of four float vectors of samples along the row (eight of doubles); 64 divides by it.
template <bool kFused>
void VerticalSteps(const std::uint8_t* work, std::size_t stride, const TapView& r, int i,
                   std::uint8_t* out) {
  constexpr int kStep = 4 * kFloats;
  // Read once: the stores below may alias them as far as the compiler knows.
  const int first = r.start[i], end = r.start[i + 1];
  const int* pixel = r.pixel;
  const float* weight = r.weight;
  for (std::size_t k = 0; k < stride; k += kStep) {
    Sums<kFused, kStep> s;
    s.Clear();
    for (int t = first; t < end; ++t) {
      s.Add(work + static_cast<std::size_t>(pixel[t]) * stride + k, weight[t]);
    }
    s.Store(out + k);
  }
}

void VerticalLoops(const std::uint8_t* work, std::size_t stride, const TapView& r, int i,
                   std::uint8_t* out) {
  if (kFusedTargets && r.fused[i] != 0) {
    VerticalSteps<true>(work, stride, r, i, out);
  } else {
    VerticalSteps<false>(work, stride, r, i, out);
  }
}

// Lanes of a and b interleaved, lanes of type T taken as units: the low or the high halves.
template <typename T>
HWY_INLINE V8 Lower(V8 a, V8 b) {
  const hn::Full128<T> d;
  return hn::BitCast(D8(), hn::InterleaveLower(d, hn::BitCast(d, a), hn::BitCast(d, b)));
}
template <typename T>
HWY_INLINE V8 Upper(V8 a, V8 b) {
  const hn::Full128<T> d;
  return hn::BitCast(D8(), hn::InterleaveUpper(d, hn::BitCast(d, a), hn::BitCast(d, b)));
}

// A 16 x 16 byte block: in[r] holds row r, out[c] receives column c.
HWY_INLINE void Transpose16(const V8 in[16], V8 out[16]) {
  V8 b[16], c[16], d[16];
  // Pairs of rows, then quads, eights and all sixteen, interleaved a step wider each time.
  HWY_UNROLL(16)
  for (int i = 0; i < 8; ++i) {
    b[2 * i] = Lower<std::uint8_t>(in[2 * i], in[2 * i + 1]);
    b[2 * i + 1] = Upper<std::uint8_t>(in[2 * i], in[2 * i + 1]);
  }
  HWY_UNROLL(16)
  for (int q = 0; q < 4; ++q) {
    c[4 * q] = Lower<std::uint16_t>(b[4 * q], b[4 * q + 2]);
    c[4 * q + 1] = Upper<std::uint16_t>(b[4 * q], b[4 * q + 2]);
    c[4 * q + 2] = Lower<std::uint16_t>(b[4 * q + 1], b[4 * q + 3]);
    c[4 * q + 3] = Upper<std::uint16_t>(b[4 * q + 1], b[4 * q + 3]);
  }
  // c[4q + g]: columns 4g .. 4g + 3 of rows 4q .. 4q + 3.
  HWY_UNROLL(16)
  for (int h = 0; h < 2; ++h) {
    HWY_UNROLL(16)
    for (int g = 0; g < 4; ++g) {
      d[8 * h + 2 * g] = Lower<std::uint32_t>(c[8 * h + g], c[8 * h + 4 + g]);
      d[8 * h + 2 * g + 1] = Upper<std::uint32_t>(c[8 * h + g], c[8 * h + 4 + g]);
    }
  }
  // d[8h + 2g + m]: columns 4g + 2m, 4g + 2m + 1 of rows 8h .. 8h + 7.
  HWY_UNROLL(16)
  for (int g = 0; g < 4; ++g) {
    HWY_UNROLL(16)
    for (int m = 0; m < 2; ++m) {
      out[4 * g + 2 * m] = Lower<std::uint64_t>(d[2 * g + m], d[8 + 2 * g + m]);
      out[4 * g + 2 * m + 1] = Upper<std::uint64_t>(d[2 * g + m], d[8 + 2 * g + m]);
    }
  }
}

// The first lanes of v, as many as `to` holds.
template <class DTo, class DFrom>
HWY_INLINE hn::Vec<DTo> Lowest(DTo to, [[maybe_unused]] DFrom from, hn::Vec<DFrom> v) {
  if constexpr (hn::MaxLanes(DTo()) == hn::MaxLanes(DFrom())) {
    return v;
  } else {
    const hn::Half<DFrom> half;
    return Lowest(to, half, hn::LowerHalf(half, v));
  }
}

// Sixteen bytes as sixteen floats at o, a float vector's worth at a time.
template <int kFirst = 0>
HWY_INLINE void StoreAsFloats(V8 bytes, float* o) {
  if constexpr (kFirst < 16) {
    const DF df;
    const hn::Rebind<std::uint8_t, DF> d8;
    const hn::Rebind<std::int32_t, DF> di;
    V8 from = bytes;
    if constexpr (kFirst > 0) from = hn::ShiftRightBytes<kFirst>(D8(), bytes);
    const auto part = Lowest(d8, D8(), from);
    hn::StoreU(hn::ConvertTo(df, hn::PromoteTo(di, part)), df, o + kFirst);
    StoreAsFloats<kFirst + kFloats>(bytes, o);
  }
}

void ToLanesLoops(const std::uint8_t* const* rows, std::size_t samples, float* lanes) {
  std::size_t k = 0;
  for (; k + 16 <= samples; k += 16) {
    V8 in[16], out[16];
    HWY_UNROLL(16)
    for (int i = 0; i < 16; ++i) in[i] = hn::LoadU(D8(), rows[i] + k);
    Transpose16(in, out);
    HWY_UNROLL(16)
    for (int j = 0; j < 16; ++j) StoreAsFloats(out[j], lanes + (k + j) * kLanes);
  }
  ToLanesFrom(k, rows, samples, lanes);
}

void FromLanesLoops(const std::uint8_t* lanes, std::size_t samples, std::uint8_t* const* rows,
                    int count) {
  std::size_t k = 0;
  for (; k + 16 <= samples; k += 16) {
    V8 in[16], out[16];
    HWY_UNROLL(16)
    for (int j = 0; j < 16; ++j) in[j] = hn::LoadU(D8(), lanes + (k + j) * kLanes);
    Transpose16(in, out);
    for (int l = 0; l < count; ++l) hn::StoreU(out[l], D8(), rows[l] + k);
  }
  FromLanesFrom(k, lanes, samples, rows, count);
}

#endif  // HWY_TARGET == HWY_SCALAR

}  // namespace quorvel::imaging::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorvel::imaging {
namespace {

HWY_EXPORT(HorizontalLoops);
HWY_EXPORT(VerticalLoops);
HWY_EXPORT(ToLanesLoops);
HWY_EXPORT(FromLanesLoops);

// The entry of kernel's loops in the tables above, as Highway's dispatch finds the chosen
// target's (ChosenTarget::GetIndex); a resampler keeps its own kernel rather than the process-wide
// choice, and finding its entry takes no atomic operation.
std::size_t Entry(ResamplerKernel kernel) {
  const std::int64_t mask = (HWY_CHOSEN_TARGET_SHIFT(kernel) | HWY_CHOSEN_TARGET_MASK_SCALAR) &
                            HWY_CHOSEN_TARGET_MASK_TARGETS;
  return hwy::Num0BitsBelowLS1Bit_Nonzero64(static_cast<std::uint64_t>(mask));
}

}  // namespace

std::vector<ResamplerKernel> CompiledResamplerKernels() {
  std::vector<ResamplerKernel> kernels;
  for (std::int64_t left = HWY_TARGETS; left != 0; left &= left - 1) {
    kernels.push_back(left & -left);
  }
  return kernels;
}

bool ResamplerKernelRuns(ResamplerKernel kernel) {
  return kernel != 0 && (kernel & (kernel - 1)) == 0 &&
         (kernel & HWY_TARGETS & hwy::SupportedTargets()) != 0;
}

ResamplerKernel FastestResamplerKernel() {
  const std::int64_t runs = HWY_TARGETS & hwy::SupportedTargets();
  return runs & -runs;
}

const char* ResamplerKernelName(ResamplerKernel kernel) { return hwy::TargetName(kernel); }

void HorizontalBatch(ResamplerKernel kernel, const float* lanes, const TapView& columns,
                     std::uint8_t* out) {
  HWY_DISPATCH_TABLE(HorizontalLoops)[Entry(kernel)](lanes, columns, out);
}

void VerticalRow(ResamplerKernel kernel, const std::uint8_t* work, std::size_t stride,
                 const TapView& rows, int i, std::uint8_t* out) {
  HWY_DISPATCH_TABLE(VerticalLoops)[Entry(kernel)](work, stride, rows, i, out);
}

void TransposeToLanes(ResamplerKernel kernel, const std::uint8_t* const* rows, std::size_t samples,
                      float* lanes) {
  HWY_DISPATCH_TABLE(ToLanesLoops)[Entry(kernel)](rows, samples, lanes);
}

void TransposeFromLanes(ResamplerKernel kernel, const std::uint8_t* lanes, std::size_t samples,
                        std::uint8_t* const* rows, int count) {
  HWY_DISPATCH_TABLE(FromLanesLoops)[Entry(kernel)](lanes, samples, rows, count);
}

}  // namespace quorvel::imaging
#endif  // HWY_ONCE
