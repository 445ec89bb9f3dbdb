// The working bitmap's layout, and decoding and encoding on JPEGs the tests write themselves:
// colour order, gray, CMYK, odd sizes, progressive, truncated, the error codes of bad inputs,
// an announced-huge header, a failed load.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <string>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "job/error.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::EncodeTestJpeg;
using testing::TestJpegOptions;

TEST(FastBmpTest, RowsPaddedToFourBytesTopDownCopiedAndMoved) {
  const int stride[] = {0, 4, 8, 12, 12, 16};
  for (int w = 1; w <= 5; ++w) EXPECT_EQ(TFastBmp(w, 1).Stride(), stride[w]) << w;
  EXPECT_EQ(TFastBmp(3, 2).PixelBlockSize(), 24u);
  EXPECT_THROW(TFastBmp(-1, 5), Error);
  TFastBmp a(5, 4), c;
  EXPECT_EQ(a.Row(3) - a.Row(0), 48);
  a.Row(1)[3] = 77;
  c = a;
  a.Row(1)[3] = 5;
  EXPECT_EQ(c.Row(1)[3], 77);  // a copy owns its pixels
  std::uint8_t* row = a.Row(1);
  c = std::move(a);
  EXPECT_EQ(c.Row(1), row);
  EXPECT_EQ(a.Width() + a.Height(), 0);  // NOLINT: the moved-from state on purpose
}

TFastBmp Decode(const std::string& bytes) {
  TFastBmp bmp;
  DecodeJpegBytes(bytes, "test.jpg", bmp);
  return bmp;
}

std::string ErrorOf(const std::string& bytes, const std::string& name = "test.jpg") {
  try {
    TFastBmp bmp;
    DecodeJpegBytes(bytes, name, bmp);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

// Every pixel's blue, green and red within `tolerance` of the values given.
void ExpectAll(const TFastBmp& bmp, int b, int g, int r, int tolerance) {
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) {
      const std::uint8_t* p = bmp.Row(y) + 3 * x;
      ASSERT_TRUE(std::abs(p[0] - b) <= tolerance && std::abs(p[1] - g) <= tolerance &&
                  std::abs(p[2] - r) <= tolerance)
          << x << "," << y << ": " << +p[0] << " " << +p[1] << " " << +p[2];
    }
  }
}

// SOI, a baseline frame of width x height with three components, SOS: no image data.
std::string HugeHeader(int width, int height) {
  std::string b = std::string("\xFF\xD8\xFF\xC0\x00\x11\x08", 7);
  for (int v : {height, width}) b += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
  b += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  return b + std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14) +
         std::string(64, '\0') + "\xFF\xD9";
}

TestJpegOptions Flat(int width, int height, int components, std::uint8_t a, std::uint8_t b,
                     std::uint8_t c, std::uint8_t d = 255) {
  TestJpegOptions o{width, height, components, 100};
  o.pixel = [=](int, int, int channel) {
    const std::uint8_t v[] = {a, b, c, d};
    return v[channel];
  };
  return o;
}

TEST(JpegDecoderTest, ColourGrayCmykProgressiveAndOddSizes) {
  ExpectAll(Decode(EncodeTestJpeg(Flat(16, 12, 3, 230, 120, 20))), 20, 120, 230, 3);
  // Adobe CMYK, 255 meaning no ink: R = C' K' / 255 and so on.
  ExpectAll(Decode(EncodeTestJpeg(Flat(8, 8, 4, 200, 100, 50))), 50, 100, 200, 3);
  ExpectAll(Decode(EncodeTestJpeg(Flat(8, 8, 4, 255, 0, 255, 128))), 128, 0, 128, 3);
  const TFastBmp one = Decode(EncodeTestJpeg(Flat(1, 1, 3, 10, 200, 90)));
  ExpectAll(one, 90, 200, 10, 4);
  const TFastBmp tall = Decode(EncodeTestJpeg(Flat(3, 1000, 3, 60, 60, 60)));
  EXPECT_EQ(one.Width() * 10000 + tall.Width() * 1000 + tall.Height(), 14000);
  ExpectAll(tall, 60, 60, 60, 2);
  TestJpegOptions o{40, 12, 1};
  o.pixel = [](int x, int, int) { return static_cast<std::uint8_t>(x * 6); };
  const TFastBmp gray = Decode(EncodeTestJpeg(o));
  for (int x = 0; x < 40; ++x) {
    const std::uint8_t* p = gray.Row(5) + 3 * x;
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2] && std::abs(p[0] - x * 6) <= 4) << x;  // 236 levels
  }
  o = TestJpegOptions{33, 17};
  const TFastBmp baseline = Decode(EncodeTestJpeg(o));
  o.progressive = true;
  const TFastBmp progressive = Decode(EncodeTestJpeg(o));
  for (int y = 0; y < 17; ++y) {
    for (int k = 0; k < 99; ++k) ASSERT_NEAR(progressive.Row(y)[k], baseline.Row(y)[k], 2);
  }
}

TEST(JpegDecoderTest, BadInputsAndTheirErrorCodes) {
  const std::string bytes = EncodeTestJpeg(TestJpegOptions{64, 64});
  EXPECT_EQ(Decode(bytes.substr(0, bytes.size() / 2)).Height(), 64);  // a warning only
  EXPECT_EQ(ErrorOf(bytes.substr(0, 30)).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf(bytes.substr(0, 2)), JpegError(JERR_NO_IMAGE));
  EXPECT_EQ(ErrorOf("GIF89a, not what it claims"), JpegError(JERR_NO_SOI));
  EXPECT_EQ(ErrorOf(""), JpegError(JERR_INPUT_EMPTY));
  EXPECT_EQ(ErrorOf(HugeHeader(20001, 20000), "p.jpg"),
            "p.jpg announces 20001 x 20000 pixels, more than the 400 megapixels accepted");
  // At the limit the header passes and the missing data is what fails.
  EXPECT_EQ(ErrorOf(HugeHeader(20000, 20000)).rfind("JPEG error #", 0), 0u);
}

TEST(JpegDecoderTest, FailedLoadKeepsThePreviousImage) {
  testing::TempDir tmp;
  TFastBmp bmp;
  bmp.LoadFromFile(testing::WriteTestJpeg(tmp.file("a.JPG"), Flat(5, 4, 3, 0, 0, 250)));
  const std::string missing = tmp.file("missing.jpg");
  const std::string huge = tmp.write("huge_header.jpg", HugeHeader(65500, 65500));
  for (const auto& [path, message] : std::vector<std::pair<std::string, std::string>>{
           {missing, "Cannot open file " + missing},
           {tmp.write("b.jpg", "not a jpeg"), JpegError(JERR_NO_SOI)},
           {huge,
            huge + " announces 65500 x 65500 pixels, more than the 400 megapixels accepted"}}) {
    try {
      bmp.LoadFromFile(path);
      ADD_FAILURE() << path;
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  ASSERT_EQ(bmp.Width() * 10 + bmp.Height(), 54);
  ExpectAll(bmp, 250, 0, 0, 3);
}

TEST(JpegEncoderTest, RoundTripAndErrors) {
  const TFastBmp bmp = Decode(EncodeTestJpeg(Flat(7, 5, 3, 210, 90, 40)));
  ExpectAll(Decode(EncodeJpeg(bmp, 100, false)), 40, 90, 210, 4);
  // The luminance libjpeg derives: 0.299 R + 0.587 G + 0.114 B.
  ExpectAll(Decode(EncodeJpeg(bmp, 100, true)), 121, 121, 121, 4);
  try {
    EncodeJpeg(TFastBmp(), 60, false);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), JpegError(JERR_EMPTY_IMAGE));
  }
  EXPECT_THROW(EncodeJpeg(bmp, 60, false, std::string(255u * 65519u + 1, 'x')), Error);
}

}  // namespace
}  // namespace quorvel::imaging
