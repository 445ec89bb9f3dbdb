// The reference resampler kept as data; the streaming kernels and their FMA admission against it.
#include <gtest/gtest.h>

#include <iomanip>

#include "imaging/contributor_list.h"
#include "imaging/fused_taps.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/resample_bitmap.h"
#include "imaging/streaming_resampler.h"
#include "imaging/thumbnail_maker.h"
#include "pictures.h"

namespace quorvel::imaging::test {
namespace {

struct Shape {
  int sw, sh, dw, dh;
};

TFastBmp Reference(const TFastBmp& source, int width, int height) {
  TFastBmp out(width, height);
  ResampleBitmap(source, out, Lanczos3Filter, 3.0f);
  return out;
}

// The kernel at telling points, the weights of a few axes, the sample rule (ties to even,
// clipped) and the samples of random pictures and a ringing step, kept as data. An unchanged
// size reproduces the source.
TEST(ResampleBitmapTest, ArithmeticAndSamplesAsKept) {
  std::ostringstream text;
  text << std::setprecision(9);
  for (const float x : {0.0f, 0.5f, 1.0f, -1.0f, 1.5f, -1.5f, 2.0f, 2.5f,
                        std::nextafter(3.0f, 0.0f), 3.0f, -3.0f, 3.5f, 1e30f}) {
    text << "L(" << x << ") = " << Lanczos3Filter(x) << "\n";
  }
  for (const auto& [from, to] :
       std::vector<std::pair<int, int>>{{9, 5}, {7, 3}, {40, 3}, {2, 9}, {1, 3}, {3, 1}, {5, 5}}) {
    text << from << " -> " << to << ", pixel:weight\n";
    for (const ContributorList& list : ComputeContributors(from, to, Lanczos3Filter, 3.0f)) {
      for (const Contributor& c : list) text << c.pixel << ":" << c.weight << " ";
      text << "\n";
    }
  }
  for (const float sum :
       {126.5f, 127.5f, 0.5f, 1.5f, 254.5f, 254.51f, 255.5f, 300.0f, -0.4f, -7.0f, 0.0f}) {
    text << "sample of " << sum << ": " << int{SampleFromSum(sum)} << "\n";
  }
  std::mt19937 rng(7);
  TFastBmp step(6, 1);
  for (int k = 0; k < 18; ++k) step.Row(0)[k] = k < 9 ? 0 : 255;
  const std::vector<Shape> shapes = {{9, 5, 5, 3}, {6, 4, 11, 7},  {40, 30, 7, 5}, {3, 2, 1, 1},
                                     {2, 3, 5, 4}, {200, 3, 2, 3}, {6, 1, 11, 1}};
  for (const Shape& s : shapes) {
    const TFastBmp out =
        Reference(s.sh > 1 ? RandomBitmap(s.sw, s.sh, false, rng) : step, s.dw, s.dh);
    text << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh << "\n";
    for (int y = 0; y < out.Height(); ++y) text << RowText(out, y);
    const TFastBmp same = RandomBitmap(s.sw + 2, s.sh + 2, false, rng);
    EXPECT_EQ(FirstDifference(Reference(same, s.sw + 2, s.sh + 2), same), "");
  }
  EXPECT_EQ(testing::CompareWithGolden(text.str(), "imaging/reference_resample.txt"), "");
}

// Sinc's fast path against the extended-precision quotient; every tenth argument lies near a
// whole number, where sin nearly cancels.
TEST(Lanczos3FilterTest, SincEqualsTheExtendedPrecisionQuotient) {
  std::mt19937 rng(11);
  for (int i = 0; i < 300000; ++i) {
    float x = std::ldexp(static_cast<float>(rng() >> 8), -22) - 2.0f;  // -2 .. 2
    if (i % 10 == 0) x = std::nextafter(std::round(x), x) + static_cast<float>(rng() % 64) * 1e-7f;
    const float y = static_cast<float>(3.14159265358979323846264338327950288L * x);
    if (x == 0.0f) continue;
    ASSERT_EQ(Sinc(x), static_cast<float>(std::sin(static_cast<long double>(y)) / y)) << x;
  }
}

// Sides of 1 to 3 pixels, identity, odd sizes, enlargement, shrinking by up to 100, then random.
std::vector<Shape> Shapes(std::mt19937& rng) {
  std::vector<Shape> shapes = {
      {1, 1, 1, 1},     {1, 1, 3, 2},     {2, 3, 1, 1},     {3, 3, 2, 2},      {3, 1, 7, 5},
      {2, 2, 2, 2},     {17, 9, 5, 3},    {33, 65, 33, 65}, {101, 7, 9, 1},    {7, 101, 1, 9},
      {997, 15, 13, 2}, {1500, 4, 15, 2}, {6, 1000, 5, 10}, {12, 8, 160, 107}, {129, 95, 128, 96}};
  std::uniform_real_distribution<double> scale(-2.0, 0.9);  // log10: 1/100 to 8
  for (int i = 0; i < 60; ++i) {
    const int sw = 1 + static_cast<int>(rng() % 300), sh = 1 + static_cast<int>(rng() % 120);
    shapes.push_back({sw, sh, std::max(1, static_cast<int>(sw * std::pow(10.0, scale(rng)))),
                      std::max(1, static_cast<int>(sh * std::pow(10.0, scale(rng))))});
  }
  return shapes;
}

class KernelTest : public ::testing::TestWithParam<ResamplerKernel> {};

// Fed in batches of random sizes, as the decoder feeds it.
TFastBmp Streamed(StreamingResampler& resampler, const TFastBmp& source, int width, int height,
                  FilterFunction filter, std::mt19937& rng) {
  resampler.Start(source.Width(), source.Height(), width, height, filter, 3.0f);
  for (int y = 0, count; y < source.Height(); y += count) {
    const std::uint8_t* rows[StreamingResampler::kMaxRows];
    count = std::min(source.Height() - y, 1 + static_cast<int>(rng() % 16));
    for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
    resampler.TakeRows(y, rows, count);
  }
  TFastBmp actual;
  resampler.Finish(actual);
  return actual;
}

// Taps the FMA admission must refuse: -2^-60 on a sample 1, then 113 times this weight lands just
// under the float midpoint below 7.5. The tap's double rounding takes it up to 7.5 (byte 8), a
// fused one down (byte 7); random pictures almost never meet such a list.
float RefusedTaps(float d) { return d == 0.0f ? 0x1.0fdbcp-4f : d == 1.0f ? -0x1p-60f : 0.0f; }

TEST_P(KernelTest, EqualsTheReferenceOnRandomPictures) {
  if (!ResamplerKernelRuns(GetParam())) GTEST_SKIP() << "this processor cannot run it";
  std::mt19937 rng(20261207);
  StreamingResampler resampler(GetParam());  // one for all: nothing kept may leak into the next
  int i = 0;
  for (const Shape& s : Shapes(rng)) {
    const bool gray = ++i % 3 == 0;
    const TFastBmp source = RandomBitmap(s.sw, s.sh, gray, rng);
    EXPECT_EQ(FirstDifference(Reference(source, s.dw, s.dh),
                              Streamed(resampler, source, s.dw, s.dh, Lanczos3Filter, rng)),
              "")
        << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh << (gray ? " gray" : "");
  }
  TFastBmp stripes(4, 4), expected(4, 4);
  for (int k = 0; k < 48; ++k) stripes.Row(k / 12)[k % 12] = k / 3 % 2 ? 113 : 1;
  ResampleBitmap(stripes, expected, RefusedTaps, 3.0f);
  EXPECT_EQ(FirstDifference(expected, Streamed(resampler, stripes, 4, 4, RefusedTaps, rng)), "");
}

// Every target this build compiled; those the processor cannot run are skipped, visibly.
INSTANTIATE_TEST_SUITE_P(Kernels, KernelTest, ::testing::ValuesIn(CompiledResamplerKernels()),
                         [](const auto& info) { return ResamplerKernelName(info.param); });

// The build holds AVX2 and AVX-512 on x86-64 and a fallback; the fastest is the best that runs.
TEST(ResamplerKernelTest, TheBuildHoldsEachInstructionSetAndPicksTheBestThatRuns) {
  std::vector<std::string> names;
  for (const ResamplerKernel k : CompiledResamplerKernels())
    names.push_back(ResamplerKernelName(k));
#if defined(__x86_64__)
  EXPECT_NE(std::find(names.begin(), names.end(), "AVX3"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "AVX2"), names.end());
#endif
  EXPECT_TRUE(names.back() == "SCALAR" || names.back() == "EMU128") << names.back();
  ResamplerKernel best = 0;
  for (const ResamplerKernel k : CompiledResamplerKernels()) {
    if (best == 0 && ResamplerKernelRuns(k)) best = k;
  }
  EXPECT_EQ(FastestResamplerKernel(), best);
  EXPECT_TRUE(ResamplerKernelRuns(CompiledResamplerKernels().back()));
  EXPECT_FALSE(ResamplerKernelRuns(0));
  EXPECT_FALSE(ResamplerKernelRuns(CompiledResamplerKernels()[0] | CompiledResamplerKernels()[1]));
  // A resampler asked for a kernel no processor runs still gives the reference's bytes.
  std::mt19937 rng(3);
  StreamingResampler resampler(0);
  const TFastBmp source = RandomBitmap(40, 30, false, rng);
  EXPECT_EQ(FirstDifference(Reference(source, 13, 9),
                            Streamed(resampler, source, 13, 9, Lanczos3Filter, rng)),
            "");
}

using DecodeTest = PictureTest;

// Colour, gray, progressive, CMYK, enlarged: as the reference makes them of the whole picture.
TEST_F(DecodeTest, DecodingIntoTheResamplerEqualsDecodingThenResampling) {
  // w, h, components, progressive, dw, dh
  const std::vector<std::vector<int>> cases = {{301, 203, 3, 0, 70, 47}, {203, 301, 1, 0, 47, 70},
                                               {160, 97, 3, 1, 33, 20},  {99, 41, 4, 0, 50, 21},
                                               {8, 5, 3, 0, 70, 44},     {97, 61, 1, 1, 40, 25}};
  for (const auto& c : cases) {
    const std::string path = Source({c[0], c[1], c[2], 90, c[3] != 0});
    TFastBmp decoded;
    DecodeJpegFile(path, decoded);
    const TFastBmp expected = Reference(decoded, c[4], c[5]);
    holder_.LoadResampled(path, [&](int, int, const SourceMarkers&) {
      return ResamplePlan{c[4], c[5], 1};
    });
    EXPECT_EQ(FirstDifference(expected, holder_.FastBMP()), "") << c[0];
  }
}

// Each case is decoded at a reduced scale, so the thumbnails differ, but little.
TEST_F(DecodeTest, FastThumbnailsStayWithin40DecibelsOfExactOnes) {
  // w, h, components, box
  const std::vector<std::vector<int>> cases = {
      {2400, 1600, 3, 160}, {1600, 2400, 1, 160}, {1800, 1200, 3, 70}, {900, 700, 3, 200}};
  for (const auto& c : cases) {
    const std::string source = Source({c[0], c[1], c[2]});
    TFastBmp t[2];
    for (const bool fast : {false, true}) {
      ThumbnailRequest r{source, tmp_.file("t.jpg"), c[3], c[3]};
      r.fast = fast;
      MakeThumbnail(holder_, r);
      t[fast] = holder_.FastBMP();
    }
    const double psnr = Psnr(t[0], t[1]);
    EXPECT_TRUE(psnr >= 40 && psnr < kExact) << c[0] << "x" << c[1] << ": " << psnr;
  }
}

float DoubleRounded(float sum, int sample, float weight) {
  return static_cast<float>(static_cast<double>(sum) + sample * static_cast<double>(weight));
}

// The first case of the proof by enumeration: the odd part of x * w, x = 1..255, is a non-zero
// multiple of 2^j (29 <= j <= 32) plus an odd r with |r| <= 2^(j - 29).
bool PatternByEnumeration(float weight) {
  for (std::uint64_t x = 1; x <= 255; ++x) {
    std::uint64_t p = x * SplitWeight(weight).odd;
    while (p % 2 == 0) p /= 2;
    for (std::uint64_t j = 29, r; j <= 32; ++j) {
      r = p & ((1ull << j) - 1);
      if ((r <= 1ull << (j - 29) && p > r) || (1ull << j) - r <= 1ull << (j - 29)) return false;
    }
  }
  return true;
}

TEST(FusedTapsTest, ProductPatternMatchesEnumerationAndRefusalsAreReal) {
  EXPECT_TRUE(SplitWeight(-0.75f).odd == 3u && SplitWeight(-0.75f).low == -2);
  std::vector<float> weights = {2304167 * 0x1p-23f, 0.5f, 0x1p-149f};
  std::mt19937 rng(5);
  for (int i = 0; i < 20000; ++i) weights.push_back(std::ldexp(float((rng() >> 8) | 1), -30));
  for (const auto& list : ComputeContributors(997, 13, Lanczos3Filter, 3.0f)) {
    for (const Contributor& c : list) weights.push_back(c.weight);
  }
  for (const float w : weights) ASSERT_EQ(ProductPatternSafe(w), PatternByEnumeration(w)) << w;
  // 233 * 2304167 = 2^29 - 1: a product 2^-23 short of 64, added to 2^30 + 128, lands 2^-23
  // below a float midpoint; double rounding goes to the even float above, a fused one below.
  const float w = 2304167 * 0x1p-23f, s = 0x1p30f + 128;
  EXPECT_FALSE(ProductPatternSafe(w));
  EXPECT_NE(std::fma(233.0f, w, s), DoubleRounded(s, 233, w));
  // A weight 2^-60 before one of 1 + 2^-23: 3 times that is a float midpoint, and the tiny sum
  // below it is lost in double, which then rounds the tie to even, upward.
  const float tiny = -0x1.8p-60f, one = 0x1.000002p0f;
  EXPECT_FALSE(FusedTapsExact(std::vector<float>{tiny, one}.data(), 2));
  EXPECT_NE(std::fma(3.0f, one, tiny), DoubleRounded(tiny, 3, one));
}

// Sums that are multiples of 2^low (as every reachable sum is), aimed at a float midpoint of
// each binade from the product's upward, for every sample and many taps of admitted lists.
TEST(FusedTapsTest, AdmittedListsGiveTheTapsOwnSums) {
  int admitted = 0;
  for (const auto& [from, to] : std::vector<std::pair<int, int>>{
           {600, 16}, {6000, 160}, {100, 640}, {97, 35}, {1000, 70}, {7, 3}}) {
    const auto lists = ComputeContributors(from, to, Lanczos3Filter, 3.0f);
    for (std::size_t i = 0; i < lists.size(); i += 7) {
      std::vector<float> w;
      for (const Contributor& c : lists[i]) w.push_back(c.weight);
      if (!FusedTapsExact(w.data(), static_cast<int>(w.size()))) continue;
      ++admitted;
      int low = SplitWeight(w[0]).low;
      for (std::size_t t = 1; t < w.size(); ++t) {
        for (int x = 1; x <= 255 && t % 3 == 1; ++x) {
          const double p = x * static_cast<double>(w[t]);
          for (int e = std::ilogb(p) - 1; e < std::ilogb(p) + 26; e += 3) {
            const double h = std::ldexp(1.0, e - 24);
            const double m = (2 * std::floor(std::ldexp(1.5, e) / h / 2) + 1) * h;
            for (int k = -1; k <= 1; ++k) {
              const float s =
                  static_cast<float>(std::ldexp(std::nearbyint(std::ldexp(m - p, -low)) + k, low));
              ASSERT_EQ(std::fma(static_cast<float>(x), w[t], s), DoubleRounded(s, x, w[t]))
                  << from << " -> " << to << " list " << i << " tap " << t << " x " << x;
            }
          }
        }
        low = std::min(low, SplitWeight(w[t]).low);
      }
    }
  }
  EXPECT_GT(admitted, 100);
}

}  // namespace
}  // namespace quorvel::imaging::test
