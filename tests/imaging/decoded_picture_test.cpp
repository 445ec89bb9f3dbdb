// The rules the readers share: deep samples to 8 bits, alpha on white, the Exif block's form,
// and the profile made from nclx primaries.
#include "imaging/decoded_picture.h"

#include <gtest/gtest.h>

#include <cmath>

#include "imaging/nclx_profile.h"
#include "imaging/reader_pictures.h"

namespace quorvel::imaging::test {
namespace {

TEST(SampleTo8Bits, RoundsEveryValueOfEachDepthToNearest) {
  for (const int bits : {1, 2, 4, 8, 10, 12, 16}) {
    for (unsigned v = 0; v < (1u << bits); ++v) {
      ASSERT_EQ(SampleTo8Bits(v, bits), Scaled(v, bits)) << v << " of " << bits << " bits";
    }
  }
  // Where cutting the low bits (libheif's own 8-bit output) would differ.
  EXPECT_EQ(SampleTo8Bits(1000, 10), 249);
  EXPECT_EQ(1000 >> 2, 250);
  EXPECT_EQ(SampleTo8Bits(3, 10), 1);
}

TEST(FlattenOnWhite, RoundsEveryAlphaToNearestAndKeepsPremultipliedInRange) {
  for (int alpha = 0; alpha < 256; ++alpha) {
    for (int sample = 0; sample < 256; sample += 5) {
      const std::uint8_t bgra[4] = {std::uint8_t(sample), 0, 255, std::uint8_t(alpha)};
      std::uint8_t bgr[3];
      FlattenOnWhite(bgra, 1, false, bgr);
      ASSERT_EQ(bgr[0], OnWhite(sample, alpha)) << sample << " under " << alpha;
      ASSERT_EQ(bgr[1], OnWhite(0, alpha));
      ASSERT_EQ(bgr[2], 255);
      FlattenOnWhite(bgra, 1, true, bgr);
      ASSERT_EQ(bgr[0], std::min(255, sample + 255 - alpha));
    }
  }
}

TEST(ExifBlock, GivesTheAppOnePayloadForEitherForm) {
  using namespace std::string_literals;
  const std::string tiff_le = "II*\0\x08\0\0\0"s, tiff_be = "MM\0*\0\0\0\x08"s;
  EXPECT_EQ(ExifBlock(tiff_le), "Exif\0\0"s + tiff_le);
  EXPECT_EQ(ExifBlock(tiff_be), "Exif\0\0"s + tiff_be);
  EXPECT_EQ(ExifBlock("Exif\0\0"s + tiff_be), "Exif\0\0"s + tiff_be);
  EXPECT_EQ(ExifBlock("XMP data"), "");
  EXPECT_EQ(ExifBlock(""), "");
}

double Fixed(const std::string& profile, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(profile.data()) + at;
  const auto v =
      static_cast<std::int32_t>(std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]);
  return v / 65536.0;
}

// The data of a tag by its signature, from the tag table.
std::string Tag(const std::string& profile, const std::string& signature) {
  const std::size_t count = static_cast<std::size_t>(Fixed(profile, 128) * 65536);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 132 + 12 * i;
    if (profile.compare(entry, 4, signature) != 0) continue;
    return profile.substr(static_cast<std::size_t>(Fixed(profile, entry + 4) * 65536),
                          static_cast<std::size_t>(Fixed(profile, entry + 8) * 65536));
  }
  return {};
}

TEST(MakeNclxProfile, GivesSrgbColorantsForBt709Primaries) {
  const std::string profile =
      MakeNclxProfile({{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}, {0.3127, 0.3290}});
  ASSERT_GE(profile.size(), 128u);
  EXPECT_EQ(Fixed(profile, 0) * 65536, double(profile.size()));
  EXPECT_TRUE(DescribesRgb(profile));
  EXPECT_EQ(profile.substr(36, 4), "acsp");
  // The colorants of the sRGB profile everybody ships, adapted to D50.
  const double expected[3][3] = {
      {0.4361, 0.2225, 0.0139}, {0.3851, 0.7169, 0.0971}, {0.1431, 0.0606, 0.7141}};
  const char* tags[] = {"rXYZ", "gXYZ", "bXYZ"};
  for (int i = 0; i < 3; ++i) {
    const std::string xyz = Tag(profile, tags[i]);
    ASSERT_EQ(xyz.size(), 20u) << tags[i];
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(Fixed(xyz, 8 + 4 * k), expected[i][k], 0.0006);
  }
  for (const char* curve : {"rTRC", "gTRC", "bTRC"})
    EXPECT_EQ(Tag(profile, curve).substr(0, 4), "para");
  EXPECT_NEAR(Fixed(Tag(profile, "rTRC"), 12), 2.4, 1e-4);
}

TEST(MakeNclxProfile, GivesNothingForPrimariesWithoutAGamut) {
  EXPECT_EQ(MakeNclxProfile({{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.0}, {0.3127, 0.3290}}), "");
  EXPECT_EQ(MakeNclxProfile({{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.3127, 0.3290}}), "");
}

}  // namespace
}  // namespace quorvel::imaging::test
