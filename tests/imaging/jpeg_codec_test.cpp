// Decoding and encoding on JPEGs the tests write themselves: colour order, gray, CMYK, odd
// sizes, progressive, truncated, not a JPEG, an announced-huge header, failed loads.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <string>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "job/error.h"
#include "imaging/fast_bmp.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::EncodeTestJpeg;
using testing::TestJpegOptions;

TFastBmp Decode(const std::string& bytes) {
  TFastBmp bmp;
  DecodeJpegBytes(bytes, "test.jpg", bmp);
  return bmp;
}

std::string ErrorOf(const std::string& bytes, const std::string& name = "test.jpg") {
  TFastBmp bmp;
  try {
    DecodeJpegBytes(bytes, name, bmp);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

// B, G, R of one pixel must lie within `tolerance` of the expected values.
void ExpectPixel(const TFastBmp& bmp, int x, int y, int b, int g, int r, int tolerance) {
  const std::uint8_t* p = bmp.Row(y) + 3 * x;
  EXPECT_NEAR(p[0], b, tolerance) << x << "," << y;
  EXPECT_NEAR(p[1], g, tolerance) << x << "," << y;
  EXPECT_NEAR(p[2], r, tolerance) << x << "," << y;
}

// A header that claims width x height pixels: SOI, SOF0 with three components, SOS.
std::string HugeHeader(int width, int height) {
  std::string b = "\xFF\xD8\xFF\xC0";
  b += std::string("\x00\x11\x08", 3);
  b += static_cast<char>(height >> 8);
  b += static_cast<char>(height & 0xFF);
  b += static_cast<char>(width >> 8);
  b += static_cast<char>(width & 0xFF);
  b += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  b += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14);
  b += std::string(64, '\0');
  b += "\xFF\xD9";
  return b;
}

TestJpegOptions Flat(int width, int height, int components, std::uint8_t a, std::uint8_t b,
                     std::uint8_t c, std::uint8_t d = 255) {
  TestJpegOptions o;
  o.width = width;
  o.height = height;
  o.components = components;
  o.quality = 100;
  o.pixel = [=](int, int, int channel) {
    const std::uint8_t v[] = {a, b, c, d};
    return v[channel];
  };
  return o;
}

TEST(JpegDecoderTest, ColourArrivesAsBlueGreenRed) {
  const TFastBmp bmp = Decode(EncodeTestJpeg(Flat(16, 12, 3, 230, 120, 20)));
  ASSERT_EQ(bmp.Width(), 16);
  ASSERT_EQ(bmp.Height(), 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) ExpectPixel(bmp, x, y, 20, 120, 230, 3);
  }
}

TEST(JpegDecoderTest, GrayBecomesEqualChannels) {
  TestJpegOptions o;
  o.width = 40;
  o.height = 3;
  o.components = 1;
  o.quality = 100;
  o.pixel = [](int x, int, int) { return static_cast<std::uint8_t>(x * 6); };
  const TFastBmp bmp = Decode(EncodeTestJpeg(o));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 40; ++x) {
      const std::uint8_t* p = bmp.Row(y) + 3 * x;
      EXPECT_EQ(p[0], p[1]);
      EXPECT_EQ(p[1], p[2]);
      EXPECT_NEAR(p[0], x * 6, 4) << x;  // 236 levels, dithered
    }
  }
}

TEST(JpegDecoderTest, InvertedCmykBecomesColour) {
  // Stored as Adobe writes it: 255 means no ink. R = C' K' / 255 and so on.
  const TFastBmp white = Decode(EncodeTestJpeg(Flat(8, 8, 4, 255, 255, 255, 255)));
  ExpectPixel(white, 3, 3, 255, 255, 255, 3);
  const TFastBmp colour = Decode(EncodeTestJpeg(Flat(8, 8, 4, 200, 100, 50, 255)));
  ExpectPixel(colour, 0, 0, 50, 100, 200, 3);
  const TFastBmp half = Decode(EncodeTestJpeg(Flat(8, 8, 4, 255, 0, 255, 128)));
  ExpectPixel(half, 7, 7, 128, 0, 128, 3);
}

TEST(JpegDecoderTest, OddSizes) {
  const TFastBmp one = Decode(EncodeTestJpeg(Flat(1, 1, 3, 10, 200, 90)));
  ASSERT_EQ(one.Width(), 1);
  ASSERT_EQ(one.Height(), 1);
  ExpectPixel(one, 0, 0, 90, 200, 10, 4);
  const TFastBmp tall = Decode(EncodeTestJpeg(Flat(3, 1000, 3, 60, 60, 60)));
  ASSERT_EQ(tall.Width(), 3);
  ASSERT_EQ(tall.Height(), 1000);
  ExpectPixel(tall, 2, 999, 60, 60, 60, 2);
  EXPECT_EQ(tall.Stride(), 12);
}

TEST(JpegDecoderTest, ProgressiveDecodesLikeBaseline) {
  TestJpegOptions o;
  o.width = 33;
  o.height = 17;
  const TFastBmp baseline = Decode(EncodeTestJpeg(o));
  o.progressive = true;
  const TFastBmp progressive = Decode(EncodeTestJpeg(o));
  ASSERT_EQ(progressive.Width(), 33);
  ASSERT_EQ(progressive.Height(), 17);
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 99; ++x) EXPECT_NEAR(progressive.Row(y)[x], baseline.Row(y)[x], 2);
  }
}

TEST(JpegDecoderTest, TruncatedDataIsDecodedAsFarAsItGoes) {
  TestJpegOptions o;
  o.width = 64;
  o.height = 64;
  const std::string bytes = EncodeTestJpeg(o);
  const TFastBmp bmp = Decode(bytes.substr(0, bytes.size() / 2));
  EXPECT_EQ(bmp.Width(), 64);
  EXPECT_EQ(bmp.Height(), 64);
  // Cut inside the headers: there is no image to decode.
  EXPECT_EQ(ErrorOf(bytes.substr(0, 30)).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ErrorOf(bytes.substr(0, 2)), JpegError(JERR_NO_IMAGE));
}

TEST(JpegDecoderTest, NotAJpeg) {
  EXPECT_EQ(ErrorOf("GIF89a, not what it claims"), JpegError(JERR_NO_SOI));
  EXPECT_EQ(ErrorOf(""), JpegError(JERR_INPUT_EMPTY));
}

TEST(JpegDecoderTest, AnnouncedHugeImageIsRefusedBeforeDecoding) {
  EXPECT_EQ(ErrorOf(HugeHeader(65500, 65500), "huge_header.jpg"),
            "huge_header.jpg announces 65500 x 65500 pixels, more than the 400 megapixels "
            "accepted");
  EXPECT_EQ(ErrorOf(HugeHeader(20001, 20000), "p.jpg"),
            "p.jpg announces 20001 x 20000 pixels, more than the 400 megapixels accepted");
  // At the limit the header passes and the (missing) data is what fails.
  EXPECT_EQ(ErrorOf(HugeHeader(1000, 1000)).rfind("JPEG error #", 0), 0u)
      << ErrorOf(HugeHeader(1000, 1000));
}

TEST(FastBmpLoadTest, FailedLoadKeepsThePreviousImage) {
  testing::TempDir tmp;
  TFastBmp bmp;
  bmp.LoadFromFile(testing::WriteTestJpeg(tmp.file("a.JPG"), Flat(5, 4, 3, 0, 0, 250)));
  ASSERT_EQ(bmp.Width(), 5);
  const std::string missing = tmp.file("missing.jpg");
  try {
    bmp.LoadFromFile(missing);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
  }
  EXPECT_THROW(bmp.LoadFromFile(tmp.write("b.jpg", "not a jpeg")), Error);
  const std::string huge = tmp.write("huge_header.jpg", HugeHeader(65500, 65500));
  try {
    bmp.LoadFromFile(huge);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind(huge + " announces 65500 x 65500 pixels", 0), 0u);
  }
  ASSERT_EQ(bmp.Width(), 5);
  ASSERT_EQ(bmp.Height(), 4);
  ExpectPixel(bmp, 4, 3, 250, 0, 0, 3);
}

TEST(JpegEncoderTest, RoundTripKeepsSizeAndColour) {
  TFastBmp bmp(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) {
      bmp.Row(y)[3 * x] = 40;       // blue
      bmp.Row(y)[3 * x + 1] = 90;   // green
      bmp.Row(y)[3 * x + 2] = 210;  // red
    }
  }
  const TFastBmp back = Decode(EncodeJpeg(bmp, 100, false));
  ASSERT_EQ(back.Width(), 7);
  ASSERT_EQ(back.Height(), 5);
  ExpectPixel(back, 6, 4, 40, 90, 210, 3);
  const TFastBmp gray = Decode(EncodeJpeg(bmp, 100, true));
  // The luminance libjpeg derives: 0.299 R + 0.587 G + 0.114 B.
  ExpectPixel(gray, 0, 0, 121, 121, 121, 3);
}

TEST(JpegEncoderTest, EmptyBitmapIsAJpegError) {
  try {
    EncodeJpeg(TFastBmp(), 60, false);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), JpegError(JERR_EMPTY_IMAGE));
  }
}

}  // namespace
}  // namespace quorvel::imaging
