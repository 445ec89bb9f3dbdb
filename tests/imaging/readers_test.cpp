// The HEIF, PNG and WebP readers on files from the libraries' own encoders: exact pixels where
// the coding is lossless, else a PSNR.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>

#include "imaging/decoded_picture.h"
#include "imaging/heif_reader.h"
#include "imaging/nclx_profile.h"
#include "imaging/orientation.h"
#include "imaging/png_reader.h"
#include "imaging/webp_reader.h"
#include "pictures.h"
#include "support/test_heif.h"
#include "support/test_png.h"
#include "support/test_webp.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestHeif;
using testing::EncodeTestPng;
using testing::EncodeTestWebpFile;
using testing::ExifWithOrientation;
using testing::TestHeifOptions;
using testing::TestPngOptions;
using testing::TestWebpOptions;
using Rgb = std::array<int, 3>;

// 30 dB is far above what a wrong matrix, range, depth or channel order gives (under 20).
constexpr double kMinPsnr = 30;

struct Reader {
  const char* ext;
  PictureInfo (*info)(const std::string& bytes, const std::string& name);
  DecodedPicture (*decode)(const std::string& bytes, const std::string& name, std::uint64_t);
  PictureInfo (*info_file)(const std::string& path);
  DecodedPicture (*decode_file)(const std::string& path, std::uint64_t max_pixels);
};
const Reader kHeif{".heic", ReadHeifInfoBytes, DecodeHeifBytes, ReadHeifInfo, DecodeHeifFile};
const Reader kPng{".png", ReadPngInfoBytes, DecodePngBytes, ReadPngInfo, DecodePngFile};
const Reader kWebp{".webp", ReadWebpInfoBytes, DecodeWebpBytes, ReadWebpInfo, DecodeWebpFile};

TFastBmp DrawBitmap(int width, int height, const std::function<Rgb(int x, int y)>& rgb) {
  TFastBmp bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) bitmap.Row(y)[3 * x + c] = std::uint8_t(rgb(x, y)[2 - c]);
    }
  }
  return bitmap;
}

// A deep sample to 8 bits, and a sample over white under 8-bit alpha, rounded to nearest.
int Scaled(unsigned value, int bits) { return std::lround(value * 255.0 / ((1u << bits) - 1)); }
int OnWhite(int sample, int alpha) {
  return std::lround((sample * alpha + 255.0 * (255 - alpha)) / 255.0);
}

TEST(SampleTo8Bits, RoundsEveryValueOfEachDepthToNearest) {
  for (const int bits : {1, 2, 4, 8, 10, 12, 16}) {
    for (unsigned v = 0; v < (1u << bits); ++v) ASSERT_EQ(SampleTo8Bits(v, bits), Scaled(v, bits));
  }
  // Where cutting the low bits (libheif's own 8-bit output) would give 250.
  EXPECT_EQ(SampleTo8Bits(1000, 10), 249);
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

const NclxColours kBt709 = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}, {0.3127, 0.3290}};

// BT.709 primaries give sRGB's colorants adapted to D50 and its parametric curves, kept as data.
TEST(MakeNclxProfile, Bt709AsKeptAndNothingForPrimariesWithoutAGamut) {
  const std::string profile = MakeNclxProfile(kBt709);
  EXPECT_TRUE(DescribesRgb(profile));
  EXPECT_EQ(testing::CompareWithGolden(profile, "imaging/nclx_bt709.icc"), "");
  EXPECT_EQ(MakeNclxProfile({{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.0}, {0.3127, 0.3290}}), "");
  EXPECT_EQ(MakeNclxProfile({{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.3127, 0.3290}}), "");
}

// Smooth, and different in every corner, so that a turned picture never matches.
int Smooth(int x, int y, int c) {
  if (c == 3) return std::clamp(255 - 4 * std::abs(x - 32) - 3 * y, 0, 255);
  return 128 + 90 * std::sin(x * 0.05 + c) * std::cos(y * 0.07 - 0.5 * c) + 0.4 * x - 0.3 * y;
}

Rgb SmoothRgb(int x, int y, bool alpha) {
  Rgb rgb;
  for (int c = 0; c < 3; ++c) rgb[c] = OnWhite(Smooth(x, y, c), alpha ? Smooth(x, y, 3) : 255);
  return rgb;
}

TFastBmp SmoothBitmap(int width, int height, bool alpha) {
  return DrawBitmap(width, height, [alpha](int x, int y) { return SmoothRgb(x, y, alpha); });
}

TestHeifOptions HeifPicture(int bits = 8, bool alpha = false, bool avif = false) {
  TestHeifOptions o{.avif = avif, .bit_depth = bits, .alpha = alpha};  // 64 x 48
  const unsigned max = (1u << bits) - 1;
  o.sample = [max](int x, int y, int c) {
    return std::uint16_t((Smooth(x, y, c) * max + 127) / 255);
  };
  return o;
}

TestWebpOptions WebpPicture(bool lossless, bool alpha = false) {
  return {45, 31,    lossless,
          95, alpha, [](int x, int y, int c) { return std::uint8_t(Smooth(x, y, c)); }};
}

struct PixelCase {
  std::string name;
  const Reader& reader;
  std::string bytes;
  TFastBmp expected;
  double min_psnr;
  bool alpha;
  int bits;
  std::uint64_t min_decode_bytes;  // besides the bitmap's
  int orientation = 1;             // still to apply
  std::string exif = "";           // as handed over
};

PixelCase Heif(const std::string& name, TestHeifOptions o) {
  const std::uint64_t planes = std::uint64_t(o.width) * o.height * (o.bit_depth > 8 ? 12 : 6);
  return {name,     kHeif,   EncodeTestHeif(o), SmoothBitmap(o.width, o.height, o.alpha),
          kMinPsnr, o.alpha, o.bit_depth,       planes};
}

PixelCase Webp(const std::string& name, bool lossless, bool alpha, const std::string& exif = "") {
  const std::string bytes =
      EncodeTestWebpFile({.frames = {{WebpPicture(lossless, alpha)}}, .exif = exif});
  return {name,  kWebp, bytes,       SmoothBitmap(45, 31, alpha), lossless ? kExact : 32,
          alpha, 8,     bytes.size()};
}

// PNG's samples scaled to 8 bits or its palette's colour, over white by its alpha channel, by
// tRNS's palette alphas or, for tRNS's one transparent RGB colour, wholly.
Rgb PngPixel(const TestPngOptions& o, int x, int y) {
  const auto sample = [&](int c) { return unsigned(o.sample(x, y, c)); };
  const int colours = o.color_type % 4 == 0 ? 1 : 3;
  Rgb rgb;
  int alpha = o.color_type >= 4 ? Scaled(sample(colours), o.bit_depth) : 255;
  if (o.color_type == 3) {
    for (int c = 0; c < 3; ++c) rgb[c] = o.palette[sample(0)][c];
    if (sample(0) < o.transparency.size()) alpha = o.transparency[sample(0)];
  } else {
    for (int c = 0; c < 3; ++c) rgb[c] = Scaled(sample(colours == 1 ? 0 : c), o.bit_depth);
  }
  if (o.color_type == 2 && !o.transparency.empty() && sample(0) == o.transparency[0] &&
      sample(1) == o.transparency[1] && sample(2) == o.transparency[2])
    alpha = 0;
  for (int& v : rgb) v = OnWhite(v, alpha);
  return rgb;
}

// PNG: every colour type and depth, on 33 x 21 so that the bitmap's rows are padded.
PixelCase Png(const std::string& name, TestPngOptions o) {
  o.width = 33;
  o.height = 21;
  const TFastBmp expected = DrawBitmap(33, 21, [&o](int x, int y) { return PngPixel(o, x, y); });
  const bool alpha = o.color_type >= 4 || !o.transparency.empty();
  return {name, kPng, EncodeTestPng(o), expected, kExact, alpha, o.bit_depth, 0};
}

// Gray (type 0), RGB (2), gray and alpha (4), RGB and alpha (6); alpha is the last channel.
PixelCase Png(const std::string& name, int type, int bits, bool interlaced = false,
              const std::string& exif = "") {
  const auto sample = [bits](int x, int y, int c) {
    return std::uint16_t((x * 2311 + y * 977 + c * 20011) % (1u << bits));
  };
  return Png(name, {.color_type = type,
                    .bit_depth = bits,
                    .interlaced = interlaced,
                    .sample = sample,
                    .exif = exif});
}

// 20 colours (or as many as the depth holds), the first 10 partly transparent (tRNS).
PixelCase Palette(const std::string& name, int bits) {
  const int colours = bits == 8 ? 20 : (1 << bits);
  TestPngOptions o{.color_type = 3, .bit_depth = bits};
  o.sample = [colours](int x, int y, int) { return std::uint16_t((x + 3 * y) % colours); };
  for (int i = 0; i < colours; ++i)
    o.palette.push_back({std::uint8_t(i * 12), std::uint8_t(255 - i * 10), std::uint8_t(i * 7)});
  for (int i = 0; i < std::min(colours, 10); ++i) o.transparency.push_back(i * 25);
  return Png(name, o);
}

// HEIF's rotation and mirror are applied once, though phones write the same view in Exif as
// well; PNG's eXIf and WebP's EXIF (with or without the JPEG prefix) are reported, not applied.
std::vector<PixelCase> Orientations() {
  std::vector<PixelCase> cases;
  for (int v = 1; v <= 8; ++v) {
    const std::string n = std::to_string(v), exif = ExifWithOrientation(v, v % 2 == 0);
    TestHeifOptions heic = HeifPicture();
    heic.orientation = v;
    heic.exif = exif.substr(6);
    cases.push_back(Heif("heic_turned_" + n, heic));
    cases.back().expected = OrientBitmap(cases.back().expected, v);
    cases.back().exif = ExifWithOrientation(1, v % 2 == 0);
    for (const bool prefixed : {false, true}) {
      cases.push_back(Webp("webp_exif_" + n, true, false, prefixed ? exif : exif.substr(6)));
      cases.back().orientation = v;
      cases.back().exif = exif;
    }
    cases.push_back(Png("png_exif_" + n, 2, 8, false, exif.substr(6)));
    cases.back().orientation = v;
    cases.back().exif = exif;
  }
  return cases;
}

TEST(Readers, DecodeToTheEncodedPixelsAndReadTheirHeaders) {
  TestHeifOptions heic420 = HeifPicture(), odd = HeifPicture();
  heic420.chroma_444 = false;
  odd.width = 61;  // libheif wraps a size its encoder rounds up in a grid of one tile
  odd.height = 45;
  std::vector<PixelCase> cases = {
      Heif("heic8", HeifPicture()), Heif("heic8_420", heic420), Heif("heic10", HeifPicture(10)),
      Heif("heic8_alpha", HeifPicture(8, true)), Heif("heic_odd_grid", odd),
      Heif("avif8", HeifPicture(8, false, true)),
      // Debian 12's libheif and aom stop on an assertion encoding 10 bits.
      Heif("avif12", HeifPicture(12, false, true)), Heif("avif8_alpha", HeifPicture(8, true, true)),
      Webp("webp_lossless", true, false), Webp("webp_lossless_alpha", true, true),
      Webp("webp_lossy", false, false), Webp("webp_lossy_alpha", false, true), Png("rgb8", 2, 8),
      Png("rgba8", 6, 8), Png("rgb16", 2, 16), Png("rgba16", 6, 16),
      Png("rgb8_interlaced", 2, 8, true), Png("rgba8_interlaced", 6, 8, true),
      Png("rgba16_interlaced", 6, 16, true), Png("gray1", 0, 1), Png("gray2", 0, 2),
      Png("gray4", 0, 4, true), Png("gray8", 0, 8), Png("gray16", 0, 16), Png("gray_alpha8", 4, 8),
      Png("gray_alpha16", 4, 16, true), Palette("palette8", 8), Palette("palette4", 4),
      Palette("palette1", 1),
      // One colour of an RGB file marked transparent by tRNS shows white.
      Png("rgb8_trns_colour",
          {.sample = [](int x, int y,
                        int c) { return std::uint16_t(c == 2 ? (y % 2) * 200 : (x % 3) * 100); },
           .transparency = {0, 0, 0}})};
  for (PixelCase& c : Orientations()) cases.push_back(std::move(c));
  for (const PixelCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedPicture picture = c.reader.decode(c.bytes, "p", kMaxSourcePixels);
    EXPECT_GE(Psnr(picture.bitmap, c.expected), c.min_psnr);
    const PictureInfo info = c.reader.info(c.bytes, "p"), &decoded = picture.info;
    EXPECT_EQ(std::tuple(info.width, info.height, info.has_alpha, info.bit_depth, info.orientation),
              std::tuple(c.expected.Width(), c.expected.Height(), c.alpha, c.bits, c.orientation));
    EXPECT_EQ(info.exif, c.exif);
    EXPECT_EQ(std::tuple(decoded.width, decoded.orientation, decoded.exif),
              std::tuple(info.width, info.orientation, info.exif));
    const std::uint64_t bitmap = std::uint64_t(TFastBmp::StrideFor(info.width)) * info.height;
    EXPECT_GE(info.decode_bytes, bitmap + c.min_decode_bytes);
  }
}

TEST(Readers, HandOverTheStoredProfileOrOneMadeFromNclxPrimaries) {
  TestHeifOptions heic = HeifPicture(), p3 = HeifPicture(), bt709 = HeifPicture();
  heic.icc = testing::TestIccProfile(500);
  p3.nclx_primaries = 12;
  bt709.nclx_primaries = 1;  // sRGB's own: no profile needed
  const std::string webp_icc = testing::TestIccProfile(700);
  const std::string webp_gray = testing::TestIccProfile(200, "GRAY");
  const std::string png_icc = MakeNclxProfile(kBt709);  // libpng checks the header: a real one
  const std::tuple<const Reader*, std::string, std::string, bool> cases[] = {
      {&kHeif, EncodeTestHeif(heic), heic.icc, true},
      {&kHeif, EncodeTestHeif(bt709), "", false},
      {&kPng, EncodeTestPng({.icc = png_icc}), png_icc, true},
      {&kWebp, EncodeTestWebpFile({.frames = {{WebpPicture(false)}}, .icc = webp_icc}), webp_icc,
       true},
      {&kWebp, EncodeTestWebpFile({.frames = {{WebpPicture(false)}}, .icc = webp_gray}), webp_gray,
       false}};
  for (const auto& [reader, bytes, icc, rgb] : cases) {
    const PictureInfo info = reader->info(bytes, "p");
    EXPECT_EQ(info.icc_profile, icc) << reader->ext;
    EXPECT_EQ(info.rgb_profile, rgb) << reader->ext;
  }
  const PictureInfo info = ReadHeifInfoBytes(EncodeTestHeif(p3), "p.heic");
  EXPECT_TRUE(info.rgb_profile);
  EXPECT_NE(info.icc_profile.find("rXYZ"), std::string::npos);
}

TEST(Readers, GiveTheHeifPrimaryImageAndTheFirstWebpFrameOnItsCanvas) {
  TestHeifOptions small = HeifPicture();
  small.width = 32;
  small.height = 24;
  const std::string heic = testing::EncodeTestHeifImages({small, HeifPicture(), small}, 1);
  EXPECT_GE(Psnr(DecodeHeifBytes(heic, "p.heic").bitmap, SmoothBitmap(64, 48, false)), kMinPsnr);
  // The first frame covers part of the canvas; the second, all of it in another picture.
  TestWebpOptions first = WebpPicture(true, true);
  first.width = 20;
  first.height = 14;
  const TestWebpOptions second{45, 31, true, 90, false, [](int, int, int) { return 7; }};
  const std::string bytes = EncodeTestWebpFile(
      {.frames = {{first, 6, 4}, {second}}, .canvas_width = 45, .canvas_height = 31});
  const DecodedPicture picture = DecodeWebpBytes(bytes, "anim.webp");
  const TFastBmp expected = DrawBitmap(45, 31, [](int x, int y) {
    if (x < 6 || y < 4 || x >= 26 || y >= 18) return Rgb{255, 255, 255};
    return SmoothRgb(x - 6, y - 4, true);
  });
  EXPECT_EQ(Psnr(picture.bitmap, expected), kExact);
  EXPECT_TRUE(picture.info.has_alpha);
}

// The PNG with IHDR announcing another size, its CRC made right.
std::string Announcing(std::string png, std::uint32_t width, std::uint32_t height) {
  const auto put = [&png](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
  return png;
}

TEST(Readers, ReadFilesRefuseLargeOnesAndNameAMissingOne) {
  const testing::TempDir tmp;
  const std::string no_such = " (No such file or directory)";
  const std::tuple<const Reader*, std::string, std::string> files[] = {
      {&kHeif, EncodeTestHeif(HeifPicture()), "64 x 48"},
      {&kPng, EncodeTestPng({}), "16 x 12"},
      {&kWebp, EncodeTestWebpFile({.frames = {{WebpPicture(true)}}}), "45 x 31"}};
  for (const auto& [reader, bytes, size] : files) {
    const std::string path = tmp.write(std::string("a") + reader->ext, bytes);
    const DecodedPicture picture = reader->decode_file(path, kMaxSourcePixels);
    EXPECT_EQ(Psnr(picture.bitmap, reader->decode(bytes, "a", kMaxSourcePixels).bitmap), kExact);
    EXPECT_EQ(reader->info_file(path).width, picture.bitmap.Width());
    const std::string refused =
        " announces " + size + " pixels, more than the 0 megapixels accepted";
    EXPECT_EQ(ErrorOf([&] { reader->decode_file(path, 100); }), path + refused);
    EXPECT_EQ(ErrorOf([&] { reader->decode(bytes, "a", 100); }), "a" + refused);
    const std::string missing = tmp.file("missing") + reader->ext;
    EXPECT_EQ(ErrorOf([&] { reader->info_file(missing); }),
              "Cannot open file " + missing + no_such);
  }
  const std::string huge = Announcing(EncodeTestPng({.width = 1, .height = 1}), 30000, 20000);
  const std::string refused =
      "p.png announces 30000 x 20000 pixels, more than the 400 megapixels accepted";
  EXPECT_EQ(ErrorOf([&] { ReadPngInfoBytes(huge, "p.png"); }), refused);
  EXPECT_EQ(ErrorOf([&] { DecodePngBytes(huge, "p.png"); }), refused);
}

// A broken file fails naming itself, from bytes and from the file; kept as data.
TEST(Readers, BrokenFilesFailNamingTheFile) {
  const std::string heic = EncodeTestHeif(HeifPicture()),
                    avif = EncodeTestHeif(HeifPicture(8, false, true));
  const auto scrambled = [](std::string bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    return bytes;
  };
  const std::size_t mdat = heic.find("mdat") + 4;
  const std::string png = EncodeTestPng({.width = 33, .height = 21});
  std::string bad_crc = png, bad_png_data = png;
  bad_crc[29] ^= 1;
  for (std::size_t i = png.find("IDAT") + 6; i < png.size() - 20; ++i) bad_png_data[i] = '\x55';
  const std::string lossy = EncodeTestWebpFile({.frames = {{WebpPicture(false)}}});
  const std::string lossless = EncodeTestWebpFile({.frames = {{WebpPicture(true)}}});
  const std::string text = "Not a photo, just some words.";
  const std::pair<std::string, std::string> cases[] = {
      {"empty.heic", ""},
      {"text.heic", text},
      {"cut_in_boxes.heic", heic.substr(0, 200)},
      {"cut_in_data.heic", heic.substr(0, mdat + 100)},
      {"cut_in_data.avif", avif.substr(0, avif.size() - 200)},
      {"scrambled.heic", scrambled(heic, mdat + 4)},
      {"empty.png", ""},
      {"text.png", text},
      {"signature_only.png", png.substr(0, 8)},
      {"cut_in_header.png", png.substr(0, 20)},
      {"cut_in_data.png", png.substr(0, png.size() / 2)},
      {"bad_ihdr_crc.png", bad_crc},
      {"zero_width.png", Announcing(png, 0, 21)},
      {"bad_image_data.png", bad_png_data},
      {"empty.webp", ""},
      {"text.webp", text},
      {"riff_only.webp", lossy.substr(0, 12)},
      {"cut_lossy.webp", lossy.substr(0, lossy.size() / 2)},
      {"cut_lossless.webp", lossless.substr(0, lossless.size() / 2)},
      {"scrambled.webp", scrambled(lossless, 30)}};
  const testing::TempDir tmp;
  std::string text_read;
  for (const auto& [name, bytes] : cases) {
    const Reader& r = name.ends_with(".png") ? kPng : name.ends_with(".webp") ? kWebp : kHeif;
    const std::string path = tmp.write(name, bytes);
    text_read += name + "\n  " + ErrorOf([&] { r.decode(bytes, name, kMaxSourcePixels); }) +
                 "\n  " + ErrorOf([&] { r.decode_file(path, kMaxSourcePixels); }) +
                 "\n  header: " + ErrorOf([&] { r.info(bytes, name); }) + "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(testing::WithTmp(text_read, tmp.path()),
                                       "imaging/broken_files.txt"),
            "");
}

}  // namespace
}  // namespace quorvel::imaging::test
