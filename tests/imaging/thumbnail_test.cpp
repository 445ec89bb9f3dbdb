// The working bitmap; decodes and encodes of JPEGs written here summed up as text kept as data;
// thumbnails: FitToBox's examples, whole files kept as data, the error paths, the Orientation
// tag from Exif blocks kept as data and its views, only RGB colour profiles carried.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "imaging/exif_orientation.h"
#include "imaging/fast_bmp.h"
#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "pictures.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::EncodeTestJpeg;
using testing::ExifWithOrientation;
using testing::ReadFile;
using testing::TestIccProfile;
using testing::TestJpegOptions;

TEST(FastBmpTest, RowsPaddedToFourBytesTopDownAndCopiesOwnTheirPixels) {
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
}

// Every sample of a picture equal to the given ones (gray, or blue, green, red).
TestJpegOptions Flat(int width, int height, int components, std::vector<std::uint8_t> v) {
  TestJpegOptions o{width, height, components, 100};
  o.pixel = [v](int, int, int channel) { return v[static_cast<std::size_t>(channel)]; };
  return o;
}

// SOI, a baseline frame of width x height with three components, SOS: no image data.
std::string HugeHeader(int width, int height) {
  std::string b = std::string("\xFF\xD8\xFF\xC0\x00\x11\x08", 7);
  for (int v : {height, width}) b += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
  b += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  return b + std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 14) +
         std::string(64, '\0') + "\xFF\xD9";
}

// The size, first and last pixels (blue, green, red) of a decode, or its error.
std::string Decoded(const std::string& name, const std::string& bytes, TFastBmp& bmp) {
  try {
    DecodeJpegBytes(bytes, name, bmp);
  } catch (const Error& e) {
    return name + ": " + e.what() + "\n";
  }
  std::string text = name + ": " + std::to_string(bmp.Width()) + "x" + std::to_string(bmp.Height());
  for (const std::uint8_t* p : {bmp.Row(0), bmp.Row(bmp.Height() - 1) + 3 * bmp.Width() - 3}) {
    text += ", " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
  }
  return text + "\n";
}

TEST(JpegDecoderTest, DecodedAsKept) {
  TestJpegOptions ramp{40, 12, 1}, plain{33, 17}, progressive{33, 17};
  ramp.pixel = [](int x, int, int) { return static_cast<std::uint8_t>(x * 6); };
  progressive.progressive = true;
  const std::string whole = EncodeTestJpeg(TestJpegOptions{64, 64});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"colour 230 120 20", EncodeTestJpeg(Flat(16, 12, 3, {230, 120, 20}))},
      {"Adobe CMYK 200 100 50 255", EncodeTestJpeg(Flat(8, 8, 4, {200, 100, 50, 255}))},
      {"Adobe CMYK 255 0 255 128", EncodeTestJpeg(Flat(8, 8, 4, {255, 0, 255, 128}))},
      {"colour 10 200 90, one pixel", EncodeTestJpeg(Flat(1, 1, 3, {10, 200, 90}))},
      {"colour 60 60 60, 3 wide", EncodeTestJpeg(Flat(3, 1000, 3, {60, 60, 60}))},
      {"gray ramp 6 x", EncodeTestJpeg(ramp)},
      {"baseline", EncodeTestJpeg(plain)},
      {"progressive", EncodeTestJpeg(progressive)},
      {"cut in half, a warning only", whole.substr(0, whole.size() / 2)},
      {"cut after 30 bytes", whole.substr(0, 30)},
      {"cut after 2 bytes", whole.substr(0, 2)},
      {"a GIF", "GIF89a, not what it claims"},
      {"empty", ""},
      {"p.jpg", HugeHeader(20001, 20000)},
      {"at the size limit, no data", HugeHeader(20000, 20000)}};
  std::string text;
  TFastBmp bmp;
  for (const auto& [name, bytes] : cases) {
    text += Decoded(name, bytes, bmp);
    // The gray levels across one row, and a row of each in the middle of the picture.
    for (int k = 0; name == "gray ramp 6 x" && k < 120; k += 3) {
      text += std::to_string(bmp.Row(5)[k]) + (k < 117 ? " " : "\n");
    }
    for (int k = 0; name == "baseline" || name == "progressive" ? k < 99 : false; ++k) {
      text += std::to_string(bmp.Row(8)[k]) + (k < 98 ? " " : "\n");
    }
  }
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/decoded.txt"), "");
}

// Gray pictures of many widths and heights, batches of rows and levels, through the library's
// quantiser and through DitherGrayRow.
TEST(JpegDecoderTest, GrayDitherEqualsTheLibrarysQuantiser) {
  std::mt19937 rng(9);
  for (int i = 0; i < 40; ++i) {
    TestJpegOptions o{1 + static_cast<int>(rng() % 90), 1 + static_cast<int>(rng() % 70), 1};
    const unsigned seed = rng();
    o.pixel = [seed](int x, int y, int) {
      return static_cast<std::uint8_t>(((seed ^ (x * 73856093u) ^ (y * 19349663u)) * 2654435761u) >>
                                       24);
    };
    o.quality = 50 + i;
    TFastBmp ours, library;
    DecodeJpegBytes(EncodeTestJpeg(o), "g.jpg", ours);
    DecodeJpegBytesWithLibraryGray(EncodeTestJpeg(o), library);
    ASSERT_EQ(test::FirstDifference(ours, library), "") << o.width << "x" << o.height;
  }
}

TEST(JpegEncoderTest, RoundTripAndErrors) {
  TFastBmp bmp;
  DecodeJpegBytes(EncodeTestJpeg(Flat(7, 5, 3, {210, 90, 40})), "in.jpg", bmp);
  std::string text;
  TFastBmp back;
  text += Decoded("colour at 100", EncodeJpeg(bmp, 100, false), back);
  text += Decoded("gray at 100", EncodeJpeg(bmp, 100, true), back);  // 0.299 R + 0.587 G + 0.114 B
  try {
    EncodeJpeg(TFastBmp(), 60, false);
  } catch (const Error& e) {
    text += std::string("empty bitmap: ") + e.what() + "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/encoded.txt"), "");
  EXPECT_THROW(EncodeJpeg(bmp, 60, false, std::string(255u * 65519u + 1, 'x')), Error);
}

TEST(FitToBoxTest, WorkedExamples) {
  for (const auto& r : test::DataRows("fit_to_box.txt")) {
    const ThumbnailSize s =
        FitToBox(std::stoi(r[0]), std::stoi(r[1]), std::stoi(r[2]), std::stoi(r[3]));
    EXPECT_EQ(std::to_string(s.width) + " " + std::to_string(s.height), r[4] + " " + r[5])
        << r[2] << " " << r[3];
  }
}

TEST(ExifOrientationTest, KeptBlocks) {
  const auto rows = test::DataRows("exif_orientation.txt");  // value, hex, what it shows
  for (const auto& r : rows) {
    std::string block;
    for (std::size_t i = 0; r[1] != "-" && i + 1 < r[1].size(); i += 2) {
      block += static_cast<char>(std::stoi(r[1].substr(i, 2), nullptr, 16));
    }
    EXPECT_EQ(ReadExifOrientation(block), std::stoi(r[0])) << r[2] << " " << r[3];
  }
  EXPECT_EQ(rows.size(), 28u);
}

// A stored 3 x 2 bitmap whose pixel (x, y) holds blue x and green y, under every value; each
// view is written row by row as the stored "xy" of its pixels.
TEST(OrientationTest, TheViews) {
  TFastBmp stored(3, 2);
  for (int k = 0; k < 18; ++k) stored.Row(k / 9)[k % 9] = k % 3 == 0 ? k % 9 / 3 : k / 9;
  TFastBmp four_turns = stored;
  for (int i = 0; i < 4; ++i) four_turns = OrientBitmap(four_turns, 6);
  std::string text;
  for (int v = -1; v <= 9; ++v) {
    const TFastBmp shown = v < 0 ? four_turns : OrientBitmap(stored, v);
    text += std::to_string(v) + (OrientationSwapsSides(v) ? " swapped:" : ":");
    for (int y = 0; y < shown.Height(); ++y) {
      text += " ";
      for (int x = 0; x < shown.Width(); ++x) {
        const std::uint8_t* p = shown.Row(y) + 3 * x;
        text += std::to_string(p[0]) + std::to_string(p[1]) + (x + 1 < shown.Width() ? "," : "");
      }
    }
    text += "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/orientation_views.txt"), "");
}

class ThumbnailTest : public ::testing::Test {
 protected:
  std::string Source(TestJpegOptions o) {
    if (!o.pixel) o.pixel = test::PhotoSample;
    return testing::WriteTestJpeg(tmp_.file("s.jpg"), o);
  }
  ThumbnailRequest Request(const std::string& source, const std::string& target = "tn.jpg") {
    return ThumbnailRequest{source, tmp_.file(target)};
  }
  std::string Make(const ThumbnailRequest& r) {
    MakeThumbnail(holder_, r);
    return ReadFile(r.target);
  }
  std::string ErrorOf(const ThumbnailRequest& r) {
    try {
      MakeThumbnail(holder_, r);
    } catch (const Error& e) {
      return e.what();
    }
    return "no error";
  }
  // The thumbnail's Exif block and colour profile, as the decoder copies them out.
  SourceMarkers Markers(const ThumbnailRequest& r) {
    TFastBmp bmp;
    SourceMarkers markers;
    DecodeJpegBytes(Make(r), "tn.jpg", bmp, &markers);
    return markers;
  }

  testing::TempDir tmp_;
  FastImage holder_;
};

// Whole files kept as data, checked once by reading them back: baseline, JFIF, 70 x 52 with
// three components at quality 60 (Annex K's tables scaled by 80), 52 x 70 gray at 25 and 100.
TEST_F(ThumbnailTest, FilesAsKept) {
  for (const auto& [quality, gray] :
       std::vector<std::pair<int, bool>>{{60, false}, {25, true}, {100, true}}) {
    ThumbnailRequest r = Request(Source(TestJpegOptions{gray ? 300 : 640, gray ? 400 : 480}));
    r.quality = quality;
    r.grayscale = gray;
    const std::string name = "imaging/thumbnail_q" + std::to_string(quality) + ".jpg";
    EXPECT_EQ(testing::CompareWithGolden(Make(r), name), "") << name;
  }
}

TEST_F(ThumbnailTest, ErrorsCarryTheirMessagesAndKeepAnExistingThumbnail) {
  const std::string old = tmp_.write("tn.jpg", "previous thumbnail");
  const std::string missing = tmp_.file("missing.jpg");
  EXPECT_EQ(ErrorOf(Request(missing)), "Cannot open file " + missing);
  EXPECT_EQ(ErrorOf(Request(tmp_.write("x.jpg", "not a jpeg"))).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ReadFile(old), "previous thumbnail");
  const ThumbnailRequest nowhere = Request(Source({}), "no/such/dir/tn_y.jpg");
  EXPECT_EQ(ErrorOf(nowhere), "Cannot create file " + nowhere.target);
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("no")));
}

// Each view is the plain thumbnail turned: resampled as stored, then turned, fitted as shown.
TEST_F(ThumbnailTest, ResamplesAsStoredThenTurns) {
  TestJpegOptions o{93, 61};
  MakeThumbnail(holder_, Request(Source(o)));
  const TFastBmp resampled = holder_.FastBMP();
  for (int v = 2; v <= 8; ++v) {
    o.exif = ExifWithOrientation(v, v % 2 == 0);
    MakeThumbnail(holder_, Request(Source(o)));
    EXPECT_EQ(test::FirstDifference(holder_.FastBMP(), OrientBitmap(resampled, v)), "") << v;
  }
  o = TestJpegOptions{640, 480};
  o.exif = ExifWithOrientation(8);
  ThumbnailRequest wide = Request(Source(o));
  wide.box_width = 100;
  wide.box_height = 50;
  MakeThumbnail(holder_, wide);
  EXPECT_EQ(holder_.FastBMP().Width(), 38);  // 480 x 640 as shown, not 100 x 74
}

TEST_F(ThumbnailTest, OnlyRgbProfilesAreCarriedAndOptionsOffGiveThePlainThumbnail) {
  TestJpegOptions o{64, 48};
  o.exif = ExifWithOrientation(1);
  for (std::size_t size : {std::size_t{132}, std::size_t{150000}}) {  // one and three APP2 chunks
    o.icc = TestIccProfile(size);
    const SourceMarkers m = Markers(Request(Source(o)));
    EXPECT_TRUE(m.icc_profile == o.icc) << size;
    EXPECT_EQ(m.exif, "");  // the pixels are upright already: no Exif block
  }
  ThumbnailRequest gray = Request(Source(o));
  gray.grayscale = true;
  EXPECT_EQ(Markers(gray).icc_profile, "");
  for (const char* space : {"GRAY", "CMYK"}) {
    o.icc = TestIccProfile(500, space);
    EXPECT_EQ(Markers(Request(Source(o))).icc_profile, "") << space;
  }
  // Tagged and profiled with both options off, or with damaged tags: the plain file's bytes.
  const std::string plain = Make(Request(Source(TestJpegOptions{64, 48})));
  o.icc = TestIccProfile(1000);
  o.exif = ExifWithOrientation(6);
  ThumbnailRequest off = Request(Source(o));
  off.apply_orientation = off.keep_color_profile = false;
  EXPECT_EQ(Make(off), plain);
  o.icc.clear();
  for (const std::string& exif : {ExifWithOrientation(6).substr(0, 20), ExifWithOrientation(9)}) {
    o.exif = exif;
    EXPECT_EQ(Make(Request(Source(o))), plain);
  }
}

TEST_F(ThumbnailTest, AFailedLoadKeepsThePreviousImageAndItsBlocks) {
  TestJpegOptions o{64, 48};
  o.exif = ExifWithOrientation(6);
  o.icc = TestIccProfile(300);
  holder_.SetFilename(Source(o));
  EXPECT_THROW(holder_.SetFilename(tmp_.write("bad.jpg", "not a jpeg")), Error);
  TFastBmp bmp;
  bmp.LoadFromFile(holder_.filename());
  for (const std::string& bad :
       {tmp_.file("missing.jpg"), tmp_.write("h.jpg", HugeHeader(65500, 65500))}) {
    EXPECT_THROW(holder_.SetFilename(bad), Error);
    EXPECT_THROW(bmp.LoadFromFile(bad), Error);
  }
  EXPECT_EQ(test::FirstDifference(bmp, holder_.FastBMP()), "");
  EXPECT_EQ(holder_.FastBMP().Width(), 64);
  EXPECT_EQ(holder_.Markers().exif, o.exif);
  EXPECT_EQ(holder_.Markers().icc_profile, o.icc);
  holder_.SetFilename(Source({20, 20}));
  EXPECT_EQ(holder_.Markers().exif + holder_.Markers().icc_profile, "");
}

}  // namespace
}  // namespace quorvel::imaging
