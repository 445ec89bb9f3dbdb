// Thumbnail files: FitToBox's worked examples, whole files kept as data (baseline JFIF, the
// quality's tables, the fitted size, the pixels), the error paths, the Orientation tag read
// from the Exif blocks kept as data and the views it asks for, and only RGB colour profiles
// carried.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "imaging/exif_orientation.h"
#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "pictures.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::ExifWithOrientation;
using testing::ReadFile;
using testing::TestIccProfile;
using testing::TestJpegOptions;

TEST(FitToBoxTest, WorkedExamples) {
  const std::vector<std::vector<int>> cases = {
      // box w, h, image w, h, thumbnail w, h
      {70, 70, 640, 480, 70, 52},  {70, 70, 800, 600, 70, 52},   {70, 70, 1024, 768, 70, 52},
      {70, 70, 480, 640, 52, 70},  {70, 70, 100, 100, 70, 70},   {70, 70, 40, 30, 70, 52},
      {70, 70, 700, 530, 70, 54},  {70, 70, 700, 550, 70, 54},   {70, 70, 700, 525, 70, 52},
      {70, 70, 700, 10, 70, 2},    {100, 50, 640, 480, 100, 74}, {100, 50, 480, 640, 38, 50},
      {100, 50, 100, 100, 50, 50}, {15, 15, 1600, 1200, 15, 11}, {70, 70, 1000, 10, 70, 1},
      {70, 70, 10, 1000, 1, 70},   {70, 70, 1, 1, 70, 70},       {0, 70, 5, 5, 1, 1}};
  for (const auto& c : cases) {
    const ThumbnailSize size = FitToBox(c[0], c[1], c[2], c[3]);
    EXPECT_EQ(std::vector<int>({size.width, size.height}), std::vector<int>({c[4], c[5]}))
        << c[2] << "x" << c[3] << " in " << c[0] << "x" << c[1];
  }
}

TEST(ExifOrientationTest, KeptBlocks) {
  std::istringstream lines(ReadFile(testing::GoldenPath("imaging/exif_orientation.txt")));
  int count = 0;
  for (std::string line, hex, block; std::getline(lines, line); block.clear()) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int expected;
    fields >> expected >> hex;
    for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
      block += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    EXPECT_EQ(ReadExifOrientation(block), expected) << line.substr(hex.size() + 3);
    ++count;
  }
  EXPECT_EQ(count, 28);
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
  // A source cut inside its scan is only a warning: the thumbnail is made and replaces the old.
  const std::string bytes = testing::EncodeTestJpeg(TestJpegOptions{80, 60});
  MakeThumbnail(holder_, Request(tmp_.write("t.jpg", bytes.substr(0, bytes.size() * 2 / 3))));
  EXPECT_EQ(holder_.FastBMP().Height(), 52);
  EXPECT_NE(ReadFile(old), "previous thumbnail");
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
  EXPECT_EQ(holder_.FastBMP().Width(), 64);
  EXPECT_EQ(holder_.Markers().exif, o.exif);
  EXPECT_EQ(holder_.Markers().icc_profile, o.icc);
  holder_.SetFilename(Source({20, 20}));
  EXPECT_EQ(holder_.Markers().exif + holder_.Markers().icc_profile, "");
}

}  // namespace
}  // namespace quorvel::imaging
