// The resamplers: the plain reference's samples kept as data, and every kernel of the streaming
// one against the reference bit for bit on random pictures of random sizes, scales and batch
// sizes; then the decoder feeding it and fast mode's reduced decode.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/resample_bitmap.h"
#include "imaging/streaming_resampler.h"
#include "imaging/thumbnail_maker.h"
#include "pictures.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using test::FirstDifference;
using test::RandomBitmap;

struct Shape {
  int sw, sh, dw, dh;
};

TFastBmp Reference(const TFastBmp& source, int width, int height) {
  TFastBmp out(width, height);
  ResampleBitmap(source, out, Lanczos3Filter, 3.0f);
  return out;
}

TEST(ResampleBitmapTest, SampleRuleRoundsTiesToEvenAndClips) {
  const std::vector<std::pair<float, int>> cases = {
      {126.5f, 126}, {127.5f, 128}, {0.5f, 0},  {1.5f, 2},  {254.5f, 254}, {254.51f, 255},
      {255.5f, 255}, {300.0f, 255}, {-0.4f, 0}, {-7.0f, 0}, {0.0f, 0}};
  for (const auto& [sum, sample] : cases) EXPECT_EQ(SampleFromSum(sum), sample) << sum;
}

// The reference's own output, kept as data: any change of its arithmetic (a contraction into
// FMA, another rounding, other weights) shows here. The step row rings and clips at its edge;
// an unchanged size reproduces the source.
TEST(ResampleBitmapTest, SamplesAsKept) {
  std::mt19937 rng(7);
  std::string text;
  TFastBmp step(6, 1);
  for (int k = 0; k < 18; ++k) step.Row(0)[k] = k < 9 ? 0 : 255;
  // source, destination
  const std::vector<Shape> shapes = {{9, 5, 5, 3}, {6, 4, 11, 7},  {40, 30, 7, 5}, {3, 2, 1, 1},
                                     {2, 3, 5, 4}, {200, 3, 2, 3}, {6, 1, 11, 1}};
  for (const Shape& s : shapes) {
    const TFastBmp source = s.sh > 1 ? RandomBitmap(s.sw, s.sh, false, rng) : step;
    const TFastBmp out = Reference(source, s.dw, s.dh);
    text += std::to_string(s.sw) + "x" + std::to_string(s.sh) + " -> " + std::to_string(s.dw) +
            "x" + std::to_string(s.dh) + "\n";
    for (int y = 0; y < out.Height(); ++y) {
      for (int k = 0; k < 3 * out.Width(); ++k) text += std::to_string(out.Row(y)[k]) + " ";
      text += "\n";
    }
    const TFastBmp same = RandomBitmap(s.sw + 2, s.sh + 2, false, rng);
    EXPECT_EQ(FirstDifference(Reference(same, s.sw + 2, s.sh + 2), same), "");
  }
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/reference_resample.txt"), "");
}

// Sides of 1 to 3 pixels, identity, odd sizes, enlargement, shrinking by up to 100, and then
// random shapes of every kind, colour and gray, fed in batches of random sizes.
std::vector<Shape> Shapes(std::mt19937& rng) {
  std::vector<Shape> shapes = {
      {1, 1, 1, 1},     {1, 1, 3, 2},     {2, 3, 1, 1},     {3, 3, 2, 2},      {3, 1, 7, 5},
      {2, 2, 2, 2},     {17, 9, 5, 3},    {33, 65, 33, 65}, {101, 7, 9, 1},    {7, 101, 1, 9},
      {997, 15, 13, 2}, {1500, 4, 15, 2}, {6, 1000, 5, 10}, {12, 8, 160, 107}, {129, 95, 128, 96}};
  std::uniform_real_distribution<double> scale(-2.0, 0.9);  // log10: 1/100 to 8
  for (int i = 0; i < 60; ++i) {
    const int sw = 1 + static_cast<int>(rng() % 300), sh = 1 + static_cast<int>(rng() % 120);
    const double f = std::pow(10.0, scale(rng));
    shapes.push_back({sw, sh, std::max(1, static_cast<int>(sw * f)),
                      std::max(1, static_cast<int>(sh * std::pow(10.0, scale(rng))))});
  }
  return shapes;
}

class KernelTest : public ::testing::TestWithParam<ResamplerKernel> {};

TEST_P(KernelTest, EqualsTheReferenceOnRandomPictures) {
  if (!ResamplerKernelRuns(GetParam())) GTEST_SKIP() << "this processor cannot run it";
  std::mt19937 rng(20261207);
  StreamingResampler resampler(GetParam());  // one for all: nothing kept may leak into the next
  int i = 0;
  for (const Shape& s : Shapes(rng)) {
    const bool gray = ++i % 3 == 0;
    const TFastBmp source = RandomBitmap(s.sw, s.sh, gray, rng);
    resampler.Start(s.sw, s.sh, s.dw, s.dh, Lanczos3Filter, 3.0f);
    for (int y = 0; y < s.sh;) {
      const std::uint8_t* rows[StreamingResampler::kMaxRows];
      const int count = std::min(s.sh - y, 1 + static_cast<int>(rng() % 16));
      for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
      resampler.TakeRows(y, rows, count);
      y += count;
    }
    TFastBmp actual;
    resampler.Finish(actual);
    EXPECT_EQ(FirstDifference(Reference(source, s.dw, s.dh), actual), "")
        << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh << (gray ? " gray" : "");
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelTest,
                         ::testing::Values(ResamplerKernel::Plain, ResamplerKernel::Avx2,
                                           ResamplerKernel::Avx512));

class DecodeTest : public ::testing::Test {
 protected:
  std::string Jpeg(int w, int h, int components, bool progressive = false) {
    testing::TestJpegOptions o{w, h, components, 90, progressive};
    o.pixel = test::PhotoSample;
    return testing::WriteTestJpeg(tmp_.file("p.jpg"), o);
  }
  testing::TempDir tmp_;
  FastImage holder_;
};

// Colour, gray, progressive, CMYK and enlarged, straight from the decoder and through a bitmap.
TEST_F(DecodeTest, DecodingIntoTheResamplerEqualsDecodingThenResampling) {
  // w, h, components, progressive, dw, dh
  const std::vector<std::vector<int>> cases = {{301, 203, 3, 0, 70, 47},
                                               {203, 301, 1, 0, 47, 70},
                                               {160, 97, 3, 1, 33, 20},
                                               {99, 41, 4, 0, 50, 21},
                                               {8, 5, 3, 0, 70, 44}};
  for (const auto& c : cases) {
    const std::string path = Jpeg(c[0], c[1], c[2], c[3] != 0);
    TFastBmp full;
    DecodeJpegFile(path, full);
    holder_.LoadResampled(path, [&](int, int, const SourceMarkers&) {
      return ResamplePlan{c[4], c[5], 1};
    });
    EXPECT_EQ(FirstDifference(Reference(full, c[4], c[5]), holder_.FastBMP()), "") << c[0];
    holder_.SetFilename(path);
    holder_.Resample(c[4], c[5], Lanczos3Filter, 3.0f);
    EXPECT_EQ(FirstDifference(Reference(full, c[4], c[5]), holder_.FastBMP()), "") << c[0];
  }
}

TEST(FastDecodeScaleTest, TheLargestReductionKeepingTwiceTheThumbnail) {
  // w, h, thumbnail w, h, scale
  const std::vector<std::vector<int>> cases = {{6000, 4000, 160, 107, 8}, {2560, 1707, 160, 107, 8},
                                               {2551, 1707, 160, 107, 4}, {640, 428, 160, 107, 2},
                                               {637, 427, 160, 107, 1},   {6000, 200, 160, 30, 2}};
  for (const auto& c : cases) {
    EXPECT_EQ(FastDecodeScale(c[0], c[1], c[2], c[3]), c[4]) << c[0] << "x" << c[1];
  }
}

TEST_F(DecodeTest, FastThumbnailsStayWithin40DecibelsOfExactOnes) {
  // w, h, components, box
  const std::vector<std::vector<int>> cases = {
      {2400, 1600, 3, 160}, {1600, 2400, 1, 160}, {1800, 1200, 3, 70}, {900, 700, 3, 200}};
  for (const auto& c : cases) {
    const std::string source = Jpeg(c[0], c[1], c[2]);
    TFastBmp thumbnails[2];
    for (const bool fast : {false, true}) {
      ThumbnailRequest r{source, tmp_.file("t.jpg"), c[3], c[3], 100};
      r.fast = fast;
      MakeThumbnail(holder_, r);
      DecodeJpegFile(r.target, thumbnails[fast]);
    }
    const TFastBmp& a = thumbnails[0];
    ASSERT_EQ(FirstDifference(a, thumbnails[1]).rfind("sizes", 0), std::string::npos);
    double squares = 0;
    for (int y = 0; y < a.Height(); ++y) {
      for (int k = 0; k < 3 * a.Width(); ++k) {
        squares += std::pow(a.Row(y)[k] - thumbnails[1].Row(y)[k], 2);
      }
    }
    const double mse = std::max(squares / (3.0 * a.Width() * a.Height()), 1e-9);
    EXPECT_GE(10 * std::log10(255.0 * 255.0 / mse), 40.0) << c[0] << "x" << c[1];
  }
}

}  // namespace
}  // namespace quorvel::imaging
