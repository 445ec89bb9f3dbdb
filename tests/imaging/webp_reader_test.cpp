// The WebP reader: lossless files exactly, lossy ones within a PSNR, the first frame of an
// animation on its canvas, metadata, limits and broken files.
#include "imaging/webp_reader.h"

#include <gtest/gtest.h>

#include "imaging/reader_pictures.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/test_webp.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestWebpFile;
using testing::TestWebpFileOptions;
using testing::TestWebpOptions;

constexpr int kWidth = 45;
constexpr int kHeight = 31;

std::uint8_t Sample(int x, int y, int c) {
  // Smooth enough for lossy coding to keep it close.
  return static_cast<std::uint8_t>(128 + 100 * std::sin(x * 0.07 + c) * std::cos(y * 0.09 - c));
}
std::uint8_t Alpha(int x, int y) { return static_cast<std::uint8_t>((x * 5 + y * 3) % 256); }

TestWebpOptions Picture(bool lossless, bool alpha) {
  return {kWidth,   kHeight,
          lossless, 95,
          alpha,    [](int x, int y, int c) { return c == 3 ? Alpha(x, y) : Sample(x, y, c); }};
}

TFastBmp Expected(bool alpha) {
  return DrawBitmap(kWidth, kHeight, [alpha](int x, int y) {
    Rgb rgb;
    for (int c = 0; c < 3; ++c)
      rgb[c] = alpha ? OnWhite(Sample(x, y, c), Alpha(x, y)) : Sample(x, y, c);
    return rgb;
  });
}

struct WebpCase {
  const char* name;
  bool lossless;
  bool alpha;
  double min_psnr;  // infinity: exact
};

class WebpPixels : public ::testing::TestWithParam<WebpCase> {};

TEST_P(WebpPixels, DecodeToTheEncodedPixels) {
  const WebpCase& c = GetParam();
  const std::string bytes = EncodeTestWebpFile({.frames = {{Picture(c.lossless, c.alpha)}}});
  const DecodedPicture picture = DecodeWebpBytes(bytes, "p.webp");
  EXPECT_GE(Psnr(picture.bitmap, Expected(c.alpha)), c.min_psnr);
  const PictureInfo info = ReadWebpInfoBytes(bytes, "p.webp");
  EXPECT_EQ(info.width, kWidth);
  EXPECT_EQ(info.height, kHeight);
  EXPECT_EQ(info.has_alpha, c.alpha);
  EXPECT_EQ(info.orientation, 1);
  EXPECT_GE(info.decode_bytes, bytes.size() + std::uint64_t(TFastBmp::StrideFor(kWidth)) * kHeight);
}

constexpr double kExact = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Kinds, WebpPixels,
                         ::testing::Values(WebpCase{"lossless", true, false, kExact},
                                           WebpCase{"lossless_alpha", true, true, kExact},
                                           WebpCase{"lossy", false, false, 32},
                                           WebpCase{"lossy_alpha", false, true, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WebpReader, GivesTheFirstFrameOfAnAnimationOnItsCanvas) {
  // The first frame covers part of the canvas; the second, all of it in another picture.
  TestWebpOptions first{
      20, 14,   true,
      90, true, [](int x, int y, int c) { return c == 3 ? Alpha(x, y) : Sample(x, y, c); }};
  TestWebpOptions second{kWidth, kHeight, true, 90, false, [](int, int, int) { return 7; }};
  const std::string bytes = EncodeTestWebpFile(
      {.frames = {{first, 6, 4}, {second}}, .canvas_width = kWidth, .canvas_height = kHeight});
  const DecodedPicture picture = DecodeWebpBytes(bytes, "anim.webp");
  const TFastBmp expected = DrawBitmap(kWidth, kHeight, [](int x, int y) {
    if (x < 6 || y < 4 || x >= 26 || y >= 18) return Rgb{255, 255, 255};
    Rgb rgb;
    for (int c = 0; c < 3; ++c) rgb[c] = OnWhite(Sample(x - 6, y - 4, c), Alpha(x - 6, y - 4));
    return rgb;
  });
  EXPECT_EQ(Psnr(picture.bitmap, expected), kExact);
  EXPECT_TRUE(picture.info.has_alpha);
}

class WebpOrientation : public ::testing::TestWithParam<int> {};

TEST_P(WebpOrientation, ComesFromTheExifChunkAndIsReportedNotApplied) {
  const int orientation = GetParam();
  const std::string exif = testing::ExifWithOrientation(orientation, orientation > 4);
  // The chunk holds the TIFF structure; some writers put the JPEG prefix before it.
  for (const bool prefixed : {false, true}) {
    const std::string bytes = EncodeTestWebpFile(
        {.frames = {{Picture(true, false)}}, .exif = prefixed ? exif : exif.substr(6)});
    const DecodedPicture picture = DecodeWebpBytes(bytes, "p.webp");
    EXPECT_EQ(picture.info.orientation, orientation);
    EXPECT_EQ(picture.info.exif, exif);
    EXPECT_EQ(Psnr(picture.bitmap, Expected(false)), kExact);
    EXPECT_EQ(ReadWebpInfoBytes(bytes, "p.webp").orientation, orientation);
  }
}

INSTANTIATE_TEST_SUITE_P(AllEight, WebpOrientation, ::testing::Range(1, 9));

TEST(WebpReader, HandsOverTheIccProfile) {
  const std::string icc = testing::TestIccProfile(700);
  const PictureInfo info = ReadWebpInfoBytes(
      EncodeTestWebpFile({.frames = {{Picture(false, false)}}, .icc = icc}), "p.webp");
  EXPECT_EQ(info.icc_profile, icc);
  EXPECT_TRUE(info.rgb_profile);
  const PictureInfo gray =
      ReadWebpInfoBytes(EncodeTestWebpFile({.frames = {{Picture(false, false)}},
                                            .icc = testing::TestIccProfile(200, "GRAY")}),
                        "p.webp");
  EXPECT_FALSE(gray.rgb_profile);
}

TEST(WebpReader, ReadsFilesRefusesLargeOnesAndNamesAMissingOne) {
  const testing::TempDir tmp;
  const std::string bytes = EncodeTestWebpFile({.frames = {{Picture(true, false)}}});
  const std::string path = tmp.write("a.webp", bytes);
  EXPECT_EQ(Psnr(DecodeWebpFile(path).bitmap, Expected(false)), kExact);
  EXPECT_EQ(ReadWebpInfo(path).width, kWidth);
  try {
    DecodeWebpBytes(bytes, "a.webp", 1000);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "a.webp announces 45 x 31 pixels, more than the 0 megapixels accepted");
  }
  try {
    ReadWebpInfo(tmp.file("missing.webp"));
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file " + tmp.file("missing.webp") + " (No such file or directory)");
  }
}

struct Broken {
  const char* name;
  std::string bytes;
  const char* detail;
  bool header_fails = true;  // else only the pixels are broken
};

class WebpBroken : public ::testing::TestWithParam<Broken> {};

TEST_P(WebpBroken, FailsNamingTheFileWithLibwebpsStatus) {
  const Broken& b = GetParam();
  ExpectReadFailure([&] { DecodeWebpBytes(b.bytes, b.name); }, b.name, b.detail);
  if (b.header_fails) {
    ExpectReadFailure([&] { ReadWebpInfoBytes(b.bytes, b.name); }, b.name, b.detail);
  } else {
    EXPECT_EQ(ReadWebpInfoBytes(b.bytes, b.name).width, kWidth);
  }
}

std::vector<Broken> BrokenWebps() {
  const std::string lossy = EncodeTestWebpFile({.frames = {{Picture(false, false)}}});
  const std::string lossless = EncodeTestWebpFile({.frames = {{Picture(true, false)}}});
  std::string scrambled = lossless;
  for (std::size_t i = 30; i < scrambled.size(); ++i) scrambled[i] = static_cast<char>(i * 7);
  return {{"empty.webp", "", "not enough data"},
          {"text.webp", "Not a photo, just some words.", "bitstream error"},
          {"riff_only.webp", lossy.substr(0, 12), "not enough data"},
          {"cut_lossy.webp", lossy.substr(0, lossy.size() / 2), "not enough data"},
          {"cut_lossless.webp", lossless.substr(0, lossless.size() / 2), "not enough data"},
          {"scrambled.webp", scrambled, "bitstream error", false}};
}

INSTANTIATE_TEST_SUITE_P(Files, WebpBroken, ::testing::ValuesIn(BrokenWebps()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           return name.substr(0, name.size() - 5);
                         });

}  // namespace
}  // namespace quorvel::imaging::test
