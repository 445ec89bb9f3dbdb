// The PNG reader: every colour type and depth against its pixels worked out by formula,
// metadata, limits and broken files.
#include "imaging/png_reader.h"

#include <gtest/gtest.h>

#include "imaging/nclx_profile.h"
#include "imaging/reader_pictures.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/test_png.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestPng;
using testing::TestPngOptions;

constexpr int kWidth = 33;  // odd, so the bitmap's rows are padded
constexpr int kHeight = 21;

unsigned Sample(int x, int y, int c, int bits) {
  return static_cast<unsigned>(x * 2311 + y * 977 + c * 20011) % (1u << bits);
}
int Alpha8(int x, int y) { return (x * 17 + y * 29) % 256; }

struct PngCase {
  const char* name;
  TestPngOptions options;
  std::function<Rgb(int x, int y)> expected;
  bool alpha;
};

PngCase Colour(const char* name, int bits, bool alpha, bool interlaced) {
  TestPngOptions o{kWidth, kHeight, alpha ? 6 : 2, bits, interlaced};
  o.sample = [bits](int x, int y, int c) {
    return static_cast<std::uint16_t>(c == 3 ? Sample(x, y, 0, bits) ^ Sample(y, x, 1, bits)
                                             : Sample(x, y, c, bits));
  };
  return {name, o,
          [bits, alpha](int x, int y) {
            Rgb rgb;
            const int a = Scaled(Sample(x, y, 0, bits) ^ Sample(y, x, 1, bits), bits);
            for (int c = 0; c < 3; ++c) {
              rgb[c] = Scaled(Sample(x, y, c, bits), bits);
              if (alpha) rgb[c] = OnWhite(rgb[c], a);
            }
            return rgb;
          },
          alpha};
}

PngCase Gray(const char* name, int bits, bool alpha, bool interlaced) {
  TestPngOptions o{kWidth, kHeight, alpha ? 4 : 0, bits, interlaced};
  o.sample = [bits](int x, int y, int c) {
    // 8-bit alphas, so that the expectation needs no second rounding.
    return static_cast<std::uint16_t>(c == 1 ? Alpha8(x, y) * (bits == 16 ? 257 : 1)
                                             : Sample(x, y, 0, bits));
  };
  return {name, o,
          [bits, alpha](int x, int y) {
            const int v = Scaled(Sample(x, y, 0, bits), bits);
            const int g = alpha ? OnWhite(v, Alpha8(x, y)) : v;
            return Rgb{g, g, g};
          },
          alpha};
}

// 20 colours, the first 10 partly transparent (tRNS).
Rgb PaletteColour(int i) { return {i * 12, 255 - i * 10, i * 7}; }
PngCase Palette(const char* name, int bits) {
  TestPngOptions o{kWidth, kHeight, 3, bits};
  const int colours = bits == 8 ? 20 : (1 << bits);
  for (int i = 0; i < colours; ++i) {
    const Rgb c = PaletteColour(i);
    o.palette.push_back({std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2])});
  }
  for (int i = 0; i < std::min(colours, 10); ++i) o.transparency.push_back(i * 25);
  o.sample = [colours](int x, int y, int) { return std::uint16_t((x + 3 * y) % colours); };
  return {name, o,
          [colours](int x, int y) {
            const int i = (x + 3 * y) % colours;
            Rgb c = PaletteColour(i);
            for (int& v : c) v = i < 10 ? OnWhite(v, i * 25) : v;
            return c;
          },
          true};
}

// One colour of an RGB file marked transparent by tRNS shows white.
PngCase TransparentColour() {
  TestPngOptions o{kWidth, kHeight, 2, 8};
  o.sample = [](int x, int y, int c) {
    return std::uint16_t(c == 2 ? (y % 2) * 200 : (x % 3) * 100);
  };
  o.transparency = {0, 0, 0};
  return {"rgb8_trns_colour", o,
          [](int x, int y) {
            if (x % 3 == 0 && y % 2 == 0) return Rgb{255, 255, 255};
            return Rgb{(x % 3) * 100, (x % 3) * 100, (y % 2) * 200};
          },
          true};
}

class PngPixels : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngPixels, DecodeExactlyToTheirFormula) {
  const PngCase& c = GetParam();
  const std::string bytes = EncodeTestPng(c.options);
  const DecodedPicture picture = DecodePngBytes(bytes, "p.png");
  const TFastBmp expected = DrawBitmap(kWidth, kHeight, c.expected);
  EXPECT_EQ(Psnr(picture.bitmap, expected), std::numeric_limits<double>::infinity());
  const PictureInfo info = ReadPngInfoBytes(bytes, "p.png");
  EXPECT_EQ(info.width, kWidth);
  EXPECT_EQ(info.height, kHeight);
  EXPECT_EQ(info.has_alpha, c.alpha);
  EXPECT_EQ(info.bit_depth, c.options.bit_depth);
  EXPECT_EQ(info.orientation, 1);
  EXPECT_TRUE(info.exif.empty());
  EXPECT_GE(info.decode_bytes, std::uint64_t(TFastBmp::StrideFor(kWidth)) * kHeight);
  EXPECT_EQ(picture.info.width, kWidth);
}

INSTANTIATE_TEST_SUITE_P(
    ColourTypes, PngPixels,
    ::testing::Values(Colour("rgb8", 8, false, false), Colour("rgba8", 8, true, false),
                      Colour("rgb16", 16, false, false), Colour("rgba16", 16, true, false),
                      Colour("rgb8_interlaced", 8, false, true),
                      Colour("rgba8_interlaced", 8, true, true),
                      Colour("rgba16_interlaced", 16, true, true), Gray("gray1", 1, false, false),
                      Gray("gray2", 2, false, false), Gray("gray4", 4, false, true),
                      Gray("gray8", 8, false, false), Gray("gray16", 16, false, false),
                      Gray("gray_alpha8", 8, true, false), Gray("gray_alpha16", 16, true, true),
                      Palette("palette8", 8), Palette("palette4", 4), Palette("palette1", 1),
                      TransparentColour()),
    [](const auto& info) { return std::string(info.param.name); });

class PngOrientation : public ::testing::TestWithParam<int> {};

TEST_P(PngOrientation, ComesFromTheExifChunkAndIsReportedNotApplied) {
  const int orientation = GetParam();
  const bool big_endian = orientation % 2 == 0;
  const std::string exif = testing::ExifWithOrientation(orientation, big_endian);
  TestPngOptions o{kWidth, kHeight};
  o.exif = exif.substr(6);  // eXIf holds the TIFF structure alone
  const std::string bytes = EncodeTestPng(o);
  const DecodedPicture picture = DecodePngBytes(bytes, "p.png");
  EXPECT_EQ(picture.info.orientation, orientation);
  EXPECT_EQ(picture.info.exif, exif);
  EXPECT_EQ(picture.bitmap.Width(), kWidth);
  EXPECT_EQ(ReadPngInfoBytes(bytes, "p.png").orientation, orientation);
}

INSTANTIATE_TEST_SUITE_P(AllEight, PngOrientation, ::testing::Range(1, 9));

TEST(PngReader, HandsOverTheIccProfile) {
  TestPngOptions o;
  // libpng checks a profile's header: a real one, with D50 as its illuminant.
  o.icc = MakeNclxProfile({{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}, {0.3127, 0.3290}});
  const PictureInfo info = ReadPngInfoBytes(EncodeTestPng(o), "p.png");
  EXPECT_EQ(info.icc_profile, o.icc);
  EXPECT_TRUE(info.rgb_profile);
}

TEST(PngReader, ReadsFilesAndNamesAMissingOne) {
  const testing::TempDir tmp;
  const std::string path = tmp.write("a.png", EncodeTestPng({.width = 5, .height = 3}));
  EXPECT_EQ(DecodePngFile(path).bitmap.Width(), 5);
  EXPECT_EQ(ReadPngInfo(path).height, 3);
  try {
    ReadPngInfo(tmp.file("missing.png"));
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file " + tmp.file("missing.png") + " (No such file or directory)");
  }
}

// CRC-32 of PNG chunks, for hand-made headers.
std::uint32_t Crc(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const char ch : bytes) {
    crc ^= static_cast<std::uint8_t>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
}

// The file with IHDR announcing another size, its CRC made right.
std::string Announcing(std::string png, std::uint32_t width, std::uint32_t height) {
  Put32(png, 16, width);
  Put32(png, 20, height);
  Put32(png, 29, Crc(png.substr(12, 17)));
  return png;
}

TEST(PngReader, RefusesAHugePictureBeforeDecoding) {
  const std::string huge = Announcing(EncodeTestPng({.width = 1, .height = 1}), 30000, 20000);
  const std::string message =
      "p.png announces 30000 x 20000 pixels, more than the 400 megapixels accepted";
  for (const bool header : {true, false}) {
    try {
      header ? (void)ReadPngInfoBytes(huge, "p.png") : (void)DecodePngBytes(huge, "p.png");
      ADD_FAILURE();
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  try {
    DecodePngBytes(EncodeTestPng({}), "small.png", 100);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "small.png announces 16 x 12 pixels, more than the 0 megapixels accepted");
  }
}

struct Broken {
  const char* name;
  std::string bytes;
  const char* detail;
};

class PngBroken : public ::testing::TestWithParam<Broken> {};

TEST_P(PngBroken, FailsNamingTheFileWithLibpngsWords) {
  const Broken& b = GetParam();
  ExpectReadFailure([&] { DecodePngBytes(b.bytes, b.name); }, b.name, b.detail);
}

std::vector<Broken> BrokenPngs() {
  const std::string good = EncodeTestPng({kWidth, kHeight});
  std::string bad_crc = good;
  bad_crc[29] ^= 1;
  std::string bad_data = good;
  for (std::size_t i = good.find("IDAT") + 6; i < good.size() - 20; ++i) bad_data[i] = '\x55';
  return {{"empty.png", "", "Read Error"},
          {"text.png", "Not a photo, just a few words.", "Not a PNG file"},
          {"signature_only.png", good.substr(0, 8), "Read Error"},
          {"cut_in_header.png", good.substr(0, 20), "Read Error"},
          {"cut_in_data.png", good.substr(0, good.size() / 2), "Read Error"},
          {"bad_ihdr_crc.png", bad_crc, "IHDR: CRC error"},
          {"zero_width.png", Announcing(good, 0, kHeight), "Invalid IHDR data"},
          {"bad_image_data.png", bad_data, ""}};
}

INSTANTIATE_TEST_SUITE_P(Files, PngBroken, ::testing::ValuesIn(BrokenPngs()), [](const auto& info) {
  std::string name = info.param.name;
  return name.substr(0, name.size() - 4);
});

}  // namespace
}  // namespace quorvel::imaging::test
