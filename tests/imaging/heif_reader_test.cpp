// The HEIF reader on files libheif's own encoders wrote: HEIC and AVIF of each depth within a
// PSNR, the file's rotation and mirror applied once, the primary image, grids, colour
// profiles, limits and broken files.
#include "imaging/heif_reader.h"

#include <gtest/gtest.h>

#include "imaging/exif_orientation.h"
#include "imaging/orientation.h"
#include "imaging/reader_pictures.h"
#include "support/temp_dir.h"
#include "support/test_heif.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestHeif;
using testing::TestHeifOptions;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// Smooth, and different in every corner, so that a turned picture never matches.
int Sample8(int x, int y, int c) {
  return static_cast<int>(128 + 90 * std::sin(x * 0.05 + c) * std::cos(y * 0.07 - 0.5 * c) +
                          0.4 * x - 0.3 * y);
}
int Alpha8(int x, int y) { return std::clamp(255 - 4 * std::abs(x - 32) - 3 * y, 0, 255); }

TestHeifOptions Picture(int bits, bool alpha, bool avif) {
  TestHeifOptions o;
  o.width = kWidth;
  o.height = kHeight;
  o.avif = avif;
  o.bit_depth = bits;
  o.alpha = alpha;
  const unsigned max = (1u << bits) - 1;
  o.sample = [max](int x, int y, int c) {
    const int v = c == 3 ? Alpha8(x, y) : Sample8(x, y, c);
    return static_cast<std::uint16_t>((v * max + 127) / 255);
  };
  return o;
}

// The picture's expected pixels: the 8-bit samples (each depth maps back to them), on white.
TFastBmp Expected(int width, int height, bool alpha) {
  return DrawBitmap(width, height, [alpha](int x, int y) {
    Rgb rgb;
    for (int c = 0; c < 3; ++c)
      rgb[c] = alpha ? OnWhite(Sample8(x, y, c), Alpha8(x, y)) : Sample8(x, y, c);
    return rgb;
  });
}

struct HeifCase {
  const char* name;
  bool avif;
  int bits;
  bool alpha;
  bool chroma_444;
};

class HeifPixels : public ::testing::TestWithParam<HeifCase> {};

// 30 dB is far above what a wrong matrix, range, depth or channel order gives (under 20).
constexpr double kMinPsnr = 30;

TEST_P(HeifPixels, DecodeCloseToTheEncodedPixels) {
  const HeifCase& c = GetParam();
  TestHeifOptions o = Picture(c.bits, c.alpha, c.avif);
  o.chroma_444 = c.chroma_444;
  const std::string bytes = EncodeTestHeif(o);
  const DecodedPicture picture = DecodeHeifBytes(bytes, "p.heic");
  EXPECT_GE(Psnr(picture.bitmap, Expected(kWidth, kHeight, c.alpha)), kMinPsnr);
  const PictureInfo info = ReadHeifInfoBytes(bytes, "p.heic");
  EXPECT_EQ(info.width, kWidth);
  EXPECT_EQ(info.height, kHeight);
  EXPECT_EQ(info.has_alpha, c.alpha);
  EXPECT_EQ(info.bit_depth, c.bits);
  EXPECT_EQ(info.orientation, 1);
  EXPECT_GE(info.decode_bytes, std::uint64_t(kWidth) * kHeight * (c.bits > 8 ? 12 : 6));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HeifPixels,
    ::testing::Values(
        HeifCase{"heic8", false, 8, false, true}, HeifCase{"heic8_420", false, 8, false, false},
        HeifCase{"heic10", false, 10, false, true}, HeifCase{"heic8_alpha", false, 8, true, true},
        HeifCase{"avif8", true, 8, false, true},
        // Debian 12's libheif and aom stop on an assertion encoding 10 bits.
        HeifCase{"avif12", true, 12, false, true}, HeifCase{"avif8_alpha", true, 8, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

class HeifOrientation : public ::testing::TestWithParam<int> {};

TEST_P(HeifOrientation, TheFilesRotationAndMirrorAreAppliedOnce) {
  const int orientation = GetParam();
  TestHeifOptions o = Picture(8, false, false);
  o.orientation = orientation;
  // Phones write the same view in Exif as well; it must not turn the picture again.
  o.exif = testing::ExifWithOrientation(orientation).substr(6);
  const std::string bytes = EncodeTestHeif(o);
  const DecodedPicture picture = DecodeHeifBytes(bytes, "p.heic");
  const TFastBmp upright = OrientBitmap(Expected(kWidth, kHeight, false), orientation);
  EXPECT_GE(Psnr(picture.bitmap, upright), kMinPsnr);
  for (int other = 1; other <= 8; ++other) {
    if (other == orientation) continue;
    EXPECT_LT(Psnr(picture.bitmap, OrientBitmap(Expected(kWidth, kHeight, false), other)), 20)
        << "looks like orientation " << other;
  }
  const PictureInfo info = ReadHeifInfoBytes(bytes, "p.heic");
  EXPECT_EQ(info.width, upright.Width());
  EXPECT_EQ(info.height, upright.Height());
  EXPECT_EQ(info.orientation, 1);
  EXPECT_EQ(ReadExifOrientation(info.exif), 1);
  EXPECT_EQ(info.exif.substr(0, 6), std::string("Exif\0\0", 6));
}

INSTANTIATE_TEST_SUITE_P(AllEight, HeifOrientation, ::testing::Range(1, 9));

TEST(HeifReader, GivesThePrimaryImageOfSeveral) {
  TestHeifOptions small = Picture(8, false, false);
  small.width = 32;
  small.height = 24;
  const std::string bytes =
      testing::EncodeTestHeifImages({small, Picture(8, false, false), small}, 1);
  const DecodedPicture picture = DecodeHeifBytes(bytes, "p.heic");
  EXPECT_GE(Psnr(picture.bitmap, Expected(kWidth, kHeight, false)), kMinPsnr);
}

TEST(HeifReader, PutsTheTilesOfAGridTogether) {
  TestHeifOptions tile = Picture(8, false, false);
  tile.chroma_444 = false;  // as phones write
  const DecodedPicture picture =
      DecodeHeifBytes(testing::EncodeTestHeifGrid(tile, 3, 2, 180, 90), "grid.heic");
  EXPECT_GE(Psnr(picture.bitmap, Expected(180, 90, false)), kMinPsnr);
  // libheif wraps a picture whose size its encoder had to round up in a grid of one tile.
  TestHeifOptions odd = Picture(8, false, false);
  odd.width = 61;
  odd.height = 45;
  EXPECT_GE(Psnr(DecodeHeifBytes(EncodeTestHeif(odd), "odd.heic").bitmap, Expected(61, 45, false)),
            kMinPsnr);
}

TEST(HeifReader, HandsOverTheStoredProfileOrOneMadeFromNclxPrimaries) {
  TestHeifOptions o = Picture(8, false, false);
  o.icc = testing::TestIccProfile(500);
  PictureInfo info = ReadHeifInfoBytes(EncodeTestHeif(o), "p.heic");
  EXPECT_EQ(info.icc_profile, o.icc);
  EXPECT_TRUE(info.rgb_profile);

  o.icc.clear();
  o.nclx_primaries = 12;  // Display P3
  info = ReadHeifInfoBytes(EncodeTestHeif(o), "p.heic");
  ASSERT_TRUE(info.rgb_profile);
  EXPECT_NE(info.icc_profile.find("rXYZ"), std::string::npos);

  o.nclx_primaries = 1;  // BT.709, sRGB's own
  info = ReadHeifInfoBytes(EncodeTestHeif(o), "p.heic");
  EXPECT_EQ(info.icc_profile, "");
  EXPECT_FALSE(info.rgb_profile);
}

TEST(HeifReader, ReadsFilesRefusesLargeOnesAndNamesAMissingOne) {
  const testing::TempDir tmp;
  const std::string path = tmp.write("a.heic", EncodeTestHeif(Picture(8, false, false)));
  EXPECT_GE(Psnr(DecodeHeifFile(path).bitmap, Expected(kWidth, kHeight, false)), kMinPsnr);
  EXPECT_EQ(ReadHeifInfo(path).width, kWidth);
  try {
    DecodeHeifFile(path, 1000);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              path + " announces 64 x 48 pixels, more than the 0 megapixels accepted");
  }
  try {
    ReadHeifInfo(tmp.file("missing.heic"));
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file " + tmp.file("missing.heic") + " (No such file or directory)");
  }
}

struct Broken {
  const char* name;
  std::string bytes;
  const char* detail;
  bool header_fails = true;  // else only the pixels are broken
};

class HeifBroken : public ::testing::TestWithParam<Broken> {};

TEST_P(HeifBroken, FailsNamingTheFileWithLibheifsWords) {
  const Broken& b = GetParam();
  ExpectReadFailure([&] { DecodeHeifBytes(b.bytes, b.name); }, b.name, b.detail);
  if (b.header_fails) {
    ExpectReadFailure([&] { ReadHeifInfoBytes(b.bytes, b.name); }, b.name, b.detail);
  }
  const testing::TempDir tmp;
  const std::string path = tmp.write(b.name, b.bytes);
  ExpectReadFailure([&] { DecodeHeifFile(path); }, path, b.detail);
}

std::vector<Broken> BrokenHeifs() {
  const std::string heic = EncodeTestHeif(Picture(8, false, false));
  const std::string avif = EncodeTestHeif(Picture(8, false, true));
  const std::size_t data = heic.find("mdat") + 4;
  std::string scrambled = heic;
  for (std::size_t i = data + 4; i < heic.size(); ++i) scrambled[i] = static_cast<char>(i * 7);
  return {{"empty.heic", "", ""},
          {"text.heic", "Not a photo, just some words.", ""},
          {"cut_in_boxes.heic", heic.substr(0, 200), ""},
          {"cut_in_data.heic", heic.substr(0, data + 100), "", false},
          {"cut_in_data.avif", avif.substr(0, avif.size() - 200), "", false},
          {"scrambled.heic", scrambled, "", false}};
}

INSTANTIATE_TEST_SUITE_P(Files, HeifBroken, ::testing::ValuesIn(BrokenHeifs()),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name) c = c == '.' ? '_' : c;
                           return name;
                         });

}  // namespace
}  // namespace quorvel::imaging::test
