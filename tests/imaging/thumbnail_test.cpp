// The working bitmap, the JPEG codec, thumbnails, orientation, the Exif details pages tell.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "imaging/exif_details.h"
#include "imaging/exif_orientation.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_maker.h"
#include "pictures.h"
#include "platform/file_system.h"
#include "support/crafted_jpeg.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestJpeg;
using testing::ExifWithOrientation;
using testing::ReadFile;
using testing::TestIccProfile;
using testing::TestJpegOptions;

TEST(FastBmpTest, RowsPaddedToFourBytesTopDownAndCopiesOwnTheirPixels) {
  const int stride[] = {0, 4, 8, 12, 12, 16};
  for (int w = 1; w <= 5; ++w) EXPECT_EQ(TFastBmp(w, 1).Stride(), stride[w]) << w;
  EXPECT_THROW(TFastBmp(-1, 5), Error);
  TFastBmp a(5, 4), c;
  EXPECT_EQ(a.Row(3) - a.Row(0), 48);
  a.Row(1)[3] = 77;
  c = a;
  a.Row(1)[3] = 5;
  EXPECT_EQ(c.Row(1)[3], 77);  // a copy owns its pixels
}

// Every sample of a picture equal to the given ones: gray; red, green, blue; or C, M, Y, K.
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

// The size, first and last pixels (blue, green, red) and middle row of a decode, or its error.
std::string Decoded(const std::string& name, const std::string& bytes) {
  TFastBmp bmp;
  const std::string error = ErrorOf([&] { DecodeJpegBytes(bytes, name, bmp); });
  if (error != "no error") return name + ": " + error + "\n";
  std::string text = name + ": " + std::to_string(bmp.Width()) + "x" + std::to_string(bmp.Height());
  for (const std::uint8_t* p : {bmp.Row(0), bmp.Row(bmp.Height() - 1) + 3 * bmp.Width() - 3})
    text += ", " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
  return text + "\n" + RowText(bmp, bmp.Height() / 2);
}

TEST(JpegCodecTest, DecodedAndEncodedAsKept) {
  TestJpegOptions ramp{40, 12, 1};
  ramp.pixel = [](int x, int, int) { return static_cast<std::uint8_t>(x * 6); };
  const std::string whole = EncodeTestJpeg(TestJpegOptions{64, 64});
  TFastBmp flat;
  DecodeJpegBytes(EncodeTestJpeg(Flat(7, 5, 3, {210, 90, 40})), "", flat);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"colour 230 120 20", EncodeTestJpeg(Flat(16, 12, 3, {230, 120, 20}))},
      {"Adobe CMYK 200 100 50 255", EncodeTestJpeg(Flat(8, 8, 4, {200, 100, 50, 255}))},
      {"Adobe CMYK 255 0 255 128", EncodeTestJpeg(Flat(8, 8, 4, {255, 0, 255, 128}))},
      {"colour 10 200 90, one pixel", EncodeTestJpeg(Flat(1, 1, 3, {10, 200, 90}))},
      {"colour 60 60 60, 3 wide", EncodeTestJpeg(Flat(3, 1000, 3, {60, 60, 60}))},
      {"gray ramp 6 x", EncodeTestJpeg(ramp)},
      {"baseline", EncodeTestJpeg({33, 17})},
      {"progressive", EncodeTestJpeg({33, 17, 3, 90, true})},
      {"cut in half, a warning only", whole.substr(0, whole.size() / 2)},
      {"cut after 30 bytes", whole.substr(0, 30)},
      {"cut after 2 bytes", whole.substr(0, 2)},
      {"a GIF", "GIF89a, not what it claims"},
      {"empty", ""},
      {"p.jpg", HugeHeader(20001, 20000)},
      {"at the size limit, no data", HugeHeader(20000, 20000)},
      {"colour 210 90 40 encoded at 100", EncodeJpeg(flat, 100, false)},
      {"and in gray", EncodeJpeg(flat, 100, true)}};  // 0.299 R + 0.587 G + 0.114 B
  std::string text;
  for (const auto& [name, bytes] : cases) text += Decoded(name, bytes);
  text += "encoding an empty bitmap: " + ErrorOf([] { EncodeJpeg(TFastBmp(), 60, false); }) + "\n";
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/codec.txt"), "");
  EXPECT_THROW(EncodeJpeg(flat, 60, false, std::string(255u * 65519u + 1, 'x')), Error);
}

// Gray pictures of many sizes and levels: DitherGrayRow equals the library's quantiser.
TEST(JpegDecoderTest, GrayDitherEqualsTheLibrarysQuantiser) {
  std::mt19937 rng(9);
  for (int i = 0; i < 40; ++i) {
    TestJpegOptions o{1 + static_cast<int>(rng() % 90), 1 + static_cast<int>(rng() % 70), 1,
                      50 + i};
    o.pixel = [&rng](int, int, int) { return static_cast<std::uint8_t>(rng() >> 24); };
    const std::string jpeg = EncodeTestJpeg(o);
    TFastBmp ours, library;
    DecodeJpegBytes(jpeg, "g.jpg", ours);
    DecodeJpegBytesWithLibraryGray(jpeg, library);
    ASSERT_EQ(FirstDifference(ours, library), "") << o.width << "x" << o.height;
  }
}

// FitToBox's worked examples and FastDecodeScale's picks.
TEST(ThumbnailSizeTest, WorkedExamples) {
  for (const auto& r : DataRows("fit_to_box.txt")) {
    const auto n = [&r](int i) { return std::stoi(r[i]); };
    const ThumbnailSize s = FitToBox(n(0), n(1), n(2), n(3));
    EXPECT_EQ(std::vector<int>({s.width, s.height}), std::vector<int>({n(4), n(5)})) << r[2];
  }
  for (const auto& r : DataRows("fast_decode_scale.txt")) {
    const auto n = [&r](int i) { return std::stoi(r[i]); };
    EXPECT_EQ(FastDecodeScale(n(0), n(1), n(2), n(3)), n(4)) << r[0] << "x" << r[1];
  }
}

TEST(ExifOrientationTest, KeptBlocks) {
  const auto rows = DataRows("exif_orientation.txt");  // value, hex, what it shows
  for (const auto& r : rows)
    EXPECT_EQ(ReadExifOrientation(Unhex(r[1])), std::stoi(r[0])) << r[2] << " " << r[3];
  EXPECT_EQ(rows.size(), 28u);
}

// A stored 3 x 2 bitmap whose pixel (x, y) holds blue x and green y, under every value; each
// view is written row by row as the stored "xy" of its pixels.
TEST(OrientationTest, TheViews) {
  TFastBmp stored(3, 2);
  for (int k = 0; k < 18; ++k) stored.Row(k / 9)[k % 9] = k % 3 == 0 ? k % 9 / 3 : k / 9;
  std::string text;
  for (int v = 0; v <= 9; ++v) {
    const TFastBmp shown = OrientBitmap(stored, v);
    text += std::to_string(v) + (OrientationSwapsSides(v) ? " swapped:" : ":");
    for (int y = 0; y < shown.Height(); ++y) {
      for (const std::uint8_t* p = shown.Row(y); p < shown.Row(y) + 3 * shown.Width(); p += 3)
        text += (p == shown.Row(y) ? " " : ",") + std::to_string(p[0]) + std::to_string(p[1]);
    }
    text += "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(text, "imaging/orientation_views.txt"), "");
}

class ThumbnailTest : public PictureTest {
 protected:
  // With the orientation its header gives, as the run plans it.
  ThumbnailRequest Request(const std::string& source, const std::string& target = "tn.jpg") {
    ThumbnailRequest r{source, tmp_.file(target)};
    r.orientation = ReadSourceHeader(source).orientation;
    return r;
  }
  std::string Make(const ThumbnailRequest& r) {
    MakeThumbnail(holder_, r);
    return ReadFile(r.target);
  }
};

// Whole files kept as data: 70 x 52 colour at quality 60, 52 x 70 gray at 25 and 100.
TEST_F(ThumbnailTest, FilesAsKept) {
  for (const auto& [quality, gray] :
       std::vector<std::pair<int, bool>>{{60, false}, {25, true}, {100, true}}) {
    const ThumbnailRequest r{
        Source({gray ? 300 : 640, gray ? 400 : 480}), tmp_.file("tn.jpg"), 70, 70, quality, gray};
    const std::string name = "imaging/thumbnail_q" + std::to_string(quality) + ".jpg";
    EXPECT_EQ(testing::CompareWithGolden(Make(r), name), "");
  }
}

// Planning reads the Exif block (looping IFDs in one pass); making turns by the request alone:
// resampled as stored, then turned, fitted as shown.
TEST_F(ThumbnailTest, ResamplesAsStoredThenTurnsByTheRequest) {
  const std::string looping = testing::ExifWithLoopingIfds(6, 5400);
  EXPECT_EQ(ReadExifOrientation(looping), 6);
  ThumbnailRequest r = Request(Source({.width = 93, .height = 61, .exif = looping}));
  EXPECT_EQ(r.orientation, 6);
  r.orientation = 1;
  MakeThumbnail(holder_, r);
  const TFastBmp plain = holder_.FastBMP();
  for (int v = 2; v <= 8; ++v) {
    r.orientation = v;
    MakeThumbnail(holder_, r);
    EXPECT_EQ(FirstDifference(holder_.FastBMP(), OrientBitmap(plain, v)), "") << v;
  }
  r.box_width = 100;  // turned by 8
  r.box_height = 50;
  MakeThumbnail(holder_, r);
  EXPECT_EQ(holder_.FastBMP().Width(), 32);  // 61 x 93 as shown, not 100 x 66
}

// The thumbnail's profile as the decoder copies it out, and no Exif block; without a profile and
// a turn, a colour thumbnail has the plain file's bytes: nothing else is written.
TEST_F(ThumbnailTest, OnlyRgbProfilesAreCarriedAndOptionsOffGiveThePlainThumbnail) {
  const std::string plain = Make(Request(Source({64, 48})));
  const std::string rgb = TestIccProfile(132), turned = ExifWithOrientation(6);
  // source profile and Exif block; a gray thumbnail, both options off; the profile carried
  const std::vector<std::tuple<std::string, std::string, bool, bool, bool>> cases = {
      {rgb, ExifWithOrientation(1), false, false, true},
      {TestIccProfile(150000), "", false, false, true},  // 3 APP2 chunks
      {rgb, "", true, false, false},
      {TestIccProfile(500, "GRAY"), "", false, false, false},
      {TestIccProfile(600, "CMYK"), "", false, false, false},
      {rgb, turned, false, true, false},
      {"", turned.substr(0, 20), false, false, false},
      {"", ExifWithOrientation(9), false, false, false}};
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& [icc, exif, gray, off, carried] = cases[i];
    ThumbnailRequest r = Request(Source({.width = 64, .height = 48, .exif = exif, .icc = icc}));
    r.grayscale = gray;
    r.apply_orientation = r.keep_color_profile = !off;
    TFastBmp bmp;
    SourceMarkers m;
    const std::string made = Make(r);
    DecodeJpegBytes(made, "tn.jpg", bmp, &m);
    EXPECT_EQ(m.icc_profile, carried ? icc : "") << i;
    EXPECT_EQ(made.find(std::string("Exif\0\0", 6)), std::string::npos) << i;
    EXPECT_TRUE(carried || gray || made == plain) << i;
  }
}

// A failure names its cause, with the system's reason, and keeps an existing thumbnail.
TEST_F(ThumbnailTest, FailuresNameTheirCauseAndKeepTheOldThumbnail) {
  const std::string old = tmp_.write("tn.jpg", "previous thumbnail");
  const std::string missing = tmp_.file("missing.jpg"), huge = tmp_.file("h.jpg");
  const std::string no_such = " (" + platform::ErrorText(ENOENT) + ")";
  for (const auto& [source, error] : std::vector<std::pair<std::string, std::string>>{
           {missing, "Cannot open file " + missing + no_such},
           {tmp_.write("x.jpg", "no photo"),
            "JPEG error #53 (Not a JPEG file: starts with 0x6e 0x6f)"},
           {tmp_.write("h.jpg", HugeHeader(65500, 65500)),
            huge + " announces 65500 x 65500 pixels, more than the 400 megapixels accepted"}}) {
    EXPECT_EQ(ErrorOf([&] { MakeThumbnail(holder_, {source, old}); }), error);
  }
  EXPECT_EQ(ReadFile(old), "previous thumbnail");
  const ThumbnailRequest nowhere = Request(Source({20, 20}), "no/such/dir/tn_y.jpg");
  EXPECT_EQ(ErrorOf([&] { MakeThumbnail(holder_, nowhere); }),
            "Cannot create file " + nowhere.target + no_such);
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("no")));
}

TEST(ExifDetailsTest, KeptBlocks) {
  std::istringstream lines(testing::ReadFile(testing::GoldenPath("imaging/exif_details.txt")));
  int blocks = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::string hex = line.substr(0, line.find('|'));
    const std::string block = Unhex(hex);
    std::string read = hex;
    for (const std::string& text : ReadExifDetails(block).Texts()) read += "|" + text;
    EXPECT_EQ(read, line);
    for (std::size_t size = 0; size < block.size(); ++size) ReadExifDetails(block.substr(0, size));
    ++blocks;
  }
  EXPECT_EQ(blocks, 15);
}

}  // namespace
}  // namespace quorvel::imaging::test
