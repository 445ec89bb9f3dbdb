// The SIMD streaming resampler against the plain reference, bit for bit: random pictures of
// many shapes (1 to 3 pixels, odd widths, row counts that are no multiple of a batch, large
// shrink factors, enlargement), colour and gray, straight and through the JPEG decoder; and the
// fast mode's reduced decode, which must stay visually equal to the exact thumbnail.
#include "imaging/streaming_resampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/resample_bitmap.h"
#include "imaging/thumbnail_maker.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

TFastBmp RandomBitmap(int width, int height, bool gray, std::mt19937& rng) {
  TFastBmp bmp(width, height);
  std::uniform_int_distribution<int> sample(0, 255);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int v = sample(rng);
      for (int c = 0; c < 3; ++c) {
        bmp.Row(y)[3 * x + c] = static_cast<std::uint8_t>(gray ? v : sample(rng));
      }
    }
  }
  return bmp;
}

// The first differing sample, or "" when the bitmaps are equal.
std::string FirstDifference(const TFastBmp& a, const TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  for (int y = 0; y < a.Height(); ++y) {
    for (int k = 0; k < 3 * a.Width(); ++k) {
      if (a.Row(y)[k] != b.Row(y)[k]) {
        return "row " + std::to_string(y) + " sample " + std::to_string(k) + ": " +
               std::to_string(a.Row(y)[k]) + " vs " + std::to_string(b.Row(y)[k]);
      }
    }
  }
  return "";
}

struct Shape {
  int sw, sh, dw, dh;
};

TEST(StreamingResamplerTest, EqualsTheReferenceOnRandomPictures) {
  const std::vector<Shape> shapes = {
      {1, 1, 1, 1},   {1, 1, 3, 2},     {2, 3, 1, 1},      {3, 3, 2, 2},       {3, 1, 7, 5},
      {2, 2, 2, 2},   {17, 9, 5, 3},    {33, 65, 33, 65},  {101, 7, 9, 1},     {7, 101, 1, 9},
      {640, 9, 7, 3}, {9, 640, 3, 7},   {997, 15, 13, 2},  {250, 187, 70, 52}, {12, 8, 160, 107},
      {5, 3, 80, 48}, {64, 48, 63, 47}, {129, 95, 128, 96}};
  for (const ResamplerKernel kernel :
       {ResamplerKernel::Plain, ResamplerKernel::Avx2, ResamplerKernel::Avx512}) {
    if (!ResamplerKernelRuns(kernel)) {
      std::printf("kernel %d does not run here\n", static_cast<int>(kernel));
      continue;
    }
    std::mt19937 rng(20261207);
    StreamingResampler resampler(kernel);  // one for all: buffers carried over must not leak
    for (const bool gray : {false, true}) {
      for (const Shape& s : shapes) {
        const TFastBmp source = RandomBitmap(s.sw, s.sh, gray, rng);
        TFastBmp expected(s.dw, s.dh);
        ResampleBitmap(source, expected, Lanczos3Filter, 3.0f);
        TFastBmp actual(s.dw, s.dh);
        ResampleBitmapStreaming(source, actual, Lanczos3Filter, 3.0f, resampler);
        EXPECT_EQ(FirstDifference(expected, actual), "")
            << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh << (gray ? " gray" : "")
            << " kernel " << static_cast<int>(kernel);
      }
    }
  }
}

TEST(StreamingResamplerTest, RowsArriveInBatchesOfAnySize) {
  std::mt19937 rng(7);
  const TFastBmp source = RandomBitmap(45, 37, false, rng);
  TFastBmp expected(11, 9);
  ResampleBitmap(source, expected, Lanczos3Filter, 3.0f);
  for (const int batch : {1, 3, 8, 16}) {
    StreamingResampler resampler;
    resampler.Start(45, 37, 11, 9, Lanczos3Filter, 3.0f);
    for (int y = 0; y < 37; y += batch) {
      const std::uint8_t* rows[16];
      const int count = std::min(batch, 37 - y);
      for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
      resampler.TakeRows(y, rows, count);
    }
    TFastBmp actual;
    resampler.Finish(actual);
    EXPECT_EQ(FirstDifference(expected, actual), "") << "batches of " << batch;
  }
}

// A step of `height` across lines `period` apart, blurred over a few pixels as a lens would.
double SoftSteps(int t, int period, double height) {
  const double phase = std::fmod(t, 2.0 * period);
  const double up = std::tanh((phase - period / 2.0) / 1.5);
  const double down = std::tanh((phase - 1.5 * period) / 1.5);
  return height * (up - down - 1) / 2;
}

// Photo-like content: smooth gradients with lens-sharp edges, for decoding and fast mode.
std::uint8_t PhotoSample(int x, int y, int c) {
  const double v = 128 + 90 * std::sin(x * 0.011 + c) * std::cos(y * 0.017 - c) +
                   SoftSteps(x, 150, 25) + SoftSteps(y, 110, 25);
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

class StreamingDecodeTest : public ::testing::Test {
 protected:
  std::string Jpeg(const std::string& name, int w, int h, int components, bool progressive) {
    testing::TestJpegOptions o;
    o.width = w;
    o.height = h;
    o.components = components;
    o.progressive = progressive;
    o.pixel = PhotoSample;
    return testing::WriteTestJpeg(tmp_.file(name), o);
  }
  testing::TempDir tmp_;
};

TEST_F(StreamingDecodeTest, DecodingIntoTheResamplerEqualsDecodingThenResampling) {
  struct Case {
    int w, h, components;
    bool progressive;
    int dw, dh;
  };
  FastImage holder;
  for (const Case& c : std::vector<Case>{{301, 203, 3, false, 70, 47},
                                         {203, 301, 1, false, 47, 70},
                                         {160, 97, 3, true, 33, 20},
                                         {99, 41, 4, false, 50, 21},
                                         {8, 5, 3, false, 70, 44}}) {
    const std::string path = Jpeg("p.jpg", c.w, c.h, c.components, c.progressive);
    TFastBmp full;
    DecodeJpegFile(path, full);
    TFastBmp expected(c.dw, c.dh);
    ResampleBitmap(full, expected, Lanczos3Filter, 3.0f);
    holder.LoadResampled(path, [&](int, int, const SourceMarkers&) {
      return ResamplePlan{c.dw, c.dh, 1};
    });
    EXPECT_EQ(FirstDifference(expected, holder.FastBMP()), "")
        << c.w << "x" << c.h << " components " << c.components;
  }
}

TEST(FastDecodeScaleTest, TheLargestReductionKeepingTwiceTheThumbnail) {
  struct Case {
    int w, h, tw, th, scale;
  };
  for (const Case& c : std::vector<Case>{{6000, 4000, 160, 107, 8},
                                         {2560, 1707, 160, 107, 8},
                                         {2551, 1707, 160, 107, 4},
                                         {1280, 856, 160, 107, 4},
                                         {640, 428, 160, 107, 2},
                                         {637, 427, 160, 107, 1},
                                         {100, 100, 160, 160, 1},
                                         {6000, 200, 160, 5, 8},
                                         {6000, 200, 160, 30, 2}}) {
    EXPECT_EQ(FastDecodeScale(c.w, c.h, c.tw, c.th), c.scale) << c.w << "x" << c.h;
  }
}

double Psnr(const TFastBmp& a, const TFastBmp& b) {
  double squares = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int k = 0; k < 3 * a.Width(); ++k) {
      const double d = a.Row(y)[k] - b.Row(y)[k];
      squares += d * d;
    }
  }
  const double mse = squares / (3.0 * a.Width() * a.Height());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST_F(StreamingDecodeTest, FastThumbnailsStayWithin40DecibelsOfExactOnes) {
  struct Case {
    int w, h, components, box;
  };
  FastImage holder;
  for (const Case& c : std::vector<Case>{
           {2400, 1600, 3, 160}, {1600, 2400, 1, 160}, {1800, 1200, 3, 70}, {900, 700, 3, 200}}) {
    const std::string source = Jpeg("photo.jpg", c.w, c.h, c.components, false);
    TFastBmp thumbnails[2];
    for (const bool fast : {false, true}) {
      ThumbnailRequest r;
      r.source = source;
      r.target = tmp_.file(fast ? "fast.jpg" : "exact.jpg");
      r.box_width = r.box_height = c.box;
      r.quality = 100;
      r.fast = fast;
      MakeThumbnail(holder, r);
      DecodeJpegFile(r.target, thumbnails[fast ? 1 : 0]);
    }
    ASSERT_EQ(thumbnails[0].Width(), thumbnails[1].Width());
    ASSERT_EQ(thumbnails[0].Height(), thumbnails[1].Height());
    EXPECT_GE(Psnr(thumbnails[0], thumbnails[1]), 40.0) << c.w << "x" << c.h << " box " << c.box;
  }
}

}  // namespace
}  // namespace quorvel::imaging
