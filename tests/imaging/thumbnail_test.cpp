// Thumbnail files read back with libjpeg: FitToBox's worked examples, baseline JFIF with the
// quantisation tables the quality implies, the error paths, turning by the Orientation tag and
// carrying only RGB colour profiles.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "pictures.h"
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

// What libjpeg reads back from a thumbnail file.
struct ReadBack {
  int width = 0, height = 0, components = 0;
  bool progressive = true, jfif = false, app1 = false, ok = false;
  std::vector<int> luma_table;  // natural order
  std::string icc;
};

struct JumpError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

ReadBack Inspect(const std::string& bytes) {
  ReadBack r;
  jpeg_decompress_struct cinfo{};
  JumpError error{};
  cinfo.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<JumpError*>(c->err)->jump, 1);
  };
  JOCTET* icc = nullptr;
  unsigned int icc_size = 0;
  if (setjmp(error.jump) == 0) {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    r = {static_cast<int>(cinfo.image_width),
         static_cast<int>(cinfo.image_height),
         cinfo.num_components,
         cinfo.progressive_mode != 0,
         cinfo.saw_JFIF_marker != 0,
         cinfo.marker_list != nullptr && cinfo.marker_list->marker == JPEG_APP0 + 1,
         true};
    for (int i = 0; i < 64; ++i) r.luma_table.push_back(cinfo.quant_tbl_ptrs[0]->quantval[i]);
    if (jpeg_read_icc_profile(&cinfo, &icc, &icc_size))
      r.icc.assign(reinterpret_cast<char*>(icc), icc_size);
  }
  std::free(icc);
  jpeg_destroy_decompress(&cinfo);
  return r;
}

// Annex K's luminance table scaled for `quality`, natural order.
std::vector<int> ScaledLuminance(int quality) {
  static const int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                     58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                     22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                     77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                     103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::vector<int> table;
  for (int v : kLuminance) table.push_back(std::clamp((v * scale + 50) / 100, 1, 255));
  return table;
}

// Stored quadrants: top left red, top right green, bottom left blue, bottom right white.
constexpr std::uint8_t kRgb[4][3] = {{230, 20, 20}, {20, 200, 20}, {20, 20, 230}, {240, 240, 240}};

TestJpegOptions Quadrants(int width, int height) {
  TestJpegOptions o{width, height};
  o.quality = 95;
  o.pixel = [width, height](int x, int y, int c) {
    return kRgb[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)][c];
  };
  return o;
}

// The quadrant colour nearest to a bitmap pixel: "r", "g", "b", "w", or "?".
char Nearest(const TFastBmp& bmp, int x, int y) {
  const std::uint8_t* p = bmp.Row(y) + 3 * x;
  for (int c = 0; c < 4; ++c) {
    const int dr = p[2] - kRgb[c][0], dg = p[1] - kRgb[c][1], db = p[0] - kRgb[c][2];
    if (dr * dr + dg * dg + db * db < 60 * 60) return "rgbw"[c];
  }
  return '?';
}

class ThumbnailTest : public ::testing::Test {
 protected:
  std::string Source(const TestJpegOptions& o, const std::string& name = "s.jpg") {
    return testing::WriteTestJpeg(tmp_.file(name), o);
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
  TFastBmp Decoded(const std::string& bytes) {
    TFastBmp bmp;
    DecodeJpegBytes(bytes, "tn.jpg", bmp);
    return bmp;
  }

  testing::TempDir tmp_;
  FastImage holder_;
};

TEST_F(ThumbnailTest, BaselineJfifOfTheFittedSizeWithTheQualitysTables) {
  for (const auto& [quality, gray] :
       std::vector<std::pair<int, bool>>{{60, false}, {1, true}, {25, true}, {100, true}}) {
    ThumbnailRequest r = Request(Source(TestJpegOptions{gray ? 30 : 640, gray ? 40 : 480}));
    r.quality = quality;
    r.grayscale = gray;
    const std::string bytes = Make(r);
    const ReadBack back = Inspect(bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(std::vector<int>({back.width, back.height, back.components}),
              gray ? std::vector<int>({52, 70, 1}) : std::vector<int>({70, 52, 3}));
    EXPECT_FALSE(back.progressive);
    EXPECT_TRUE(back.jfif);
    EXPECT_EQ(back.luma_table, ScaledLuminance(quality)) << quality;
    EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos);  // a baseline frame
  }
}

TEST_F(ThumbnailTest, ErrorsCarryTheirMessagesAndKeepAnExistingThumbnail) {
  const std::string old = tmp_.write("tn.jpg", "previous thumbnail");
  const std::string missing = tmp_.file("missing.jpg");
  EXPECT_EQ(ErrorOf(Request(missing)), "Cannot open file " + missing);
  EXPECT_EQ(ErrorOf(Request(tmp_.write("x.jpg", "not a jpeg"))).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ReadFile(old), "previous thumbnail");
  const ThumbnailRequest nowhere = Request(Source(TestJpegOptions{}), "no/such/dir/tn_y.jpg");
  EXPECT_EQ(ErrorOf(nowhere), "Cannot create file " + nowhere.target);
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("no")));
  // A source cut inside its scan is only a warning: the thumbnail is made and replaces the old.
  const std::string bytes = testing::EncodeTestJpeg(TestJpegOptions{80, 60});
  EXPECT_EQ(
      Inspect(Make(Request(tmp_.write("t.jpg", bytes.substr(0, bytes.size() * 2 / 3))))).height,
      52);
}

TEST_F(ThumbnailTest, EveryOrientationPutsTheCornersWhereTheTagSays) {
  // Displayed corners top left, top right, bottom left, bottom right.
  const char* const corners[9] = {"",     "rgbw", "grwb", "wbgr", "bwrg",
                                  "rbgw", "brwg", "wgbr", "gwrb"};
  for (int v = 1; v <= 8; ++v) {
    TestJpegOptions o = Quadrants(64, 48);
    o.exif = ExifWithOrientation(v, v % 2 == 0);
    const TFastBmp thumb = Decoded(Make(Request(Source(o))));
    const bool swap = v >= 5;
    ASSERT_EQ(thumb.Width(), swap ? 52 : 70) << v;
    const int r = thumb.Width() - 1, b = thumb.Height() - 1;
    EXPECT_EQ(std::string({Nearest(thumb, 0, 0), Nearest(thumb, r, 0), Nearest(thumb, 0, b),
                           Nearest(thumb, r, b)}),
              corners[v])
        << v;
  }
  // Fitted as displayed: 640 x 480 turned upright is 38 x 50 in a 100 x 50 box.
  TestJpegOptions o = Quadrants(640, 480);
  o.exif = ExifWithOrientation(8);
  ThumbnailRequest r = Request(Source(o));
  r.box_width = 100;
  r.box_height = 50;
  EXPECT_EQ(Decoded(Make(r)).Width(), 38);
}

TEST_F(ThumbnailTest, ResamplesAsStoredThenTurns) {
  TestJpegOptions o{93, 61};
  o.pixel = test::PhotoSample;
  MakeThumbnail(holder_, Request(Source(o)));
  const TFastBmp resampled = holder_.FastBMP();
  for (int v = 2; v <= 8; ++v) {
    o.exif = ExifWithOrientation(v);
    MakeThumbnail(holder_, Request(Source(o)));
    EXPECT_EQ(test::FirstDifference(holder_.FastBMP(), OrientBitmap(resampled, v)), "") << v;
  }
}

TEST_F(ThumbnailTest, OnlyRgbProfilesAreCarriedAndOptionsOffGiveThePlainThumbnail) {
  TestJpegOptions o = Quadrants(64, 48);
  for (std::size_t size : {std::size_t{132}, std::size_t{150000}}) {  // one and three APP2 chunks
    o.icc = TestIccProfile(size);
    const ReadBack back = Inspect(Make(Request(Source(o))));
    EXPECT_TRUE(back.icc == o.icc) << size;
    EXPECT_FALSE(back.app1);  // the pixels are upright already: no Exif block
  }
  ThumbnailRequest gray = Request(Source(o));
  gray.grayscale = true;
  EXPECT_EQ(Inspect(Make(gray)).icc, "");
  for (const char* space : {"GRAY", "CMYK"}) {
    o.icc = TestIccProfile(500, space);
    EXPECT_EQ(Inspect(Make(Request(Source(o)))).icc, "") << space;
  }
  // Tagged and profiled, with both options off; or damaged tags: the plain thumbnail's bytes.
  const std::string plain = Make(Request(Source(Quadrants(64, 48))));
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
  TestJpegOptions o = Quadrants(64, 48);
  o.exif = ExifWithOrientation(6);
  o.icc = TestIccProfile(300);
  holder_.SetFilename(Source(o));
  EXPECT_THROW(holder_.SetFilename(tmp_.write("bad.jpg", "not a jpeg")), Error);
  EXPECT_EQ(holder_.FastBMP().Width(), 64);
  EXPECT_EQ(holder_.Markers().exif, o.exif);
  EXPECT_EQ(holder_.Markers().icc_profile, o.icc);
  holder_.SetFilename(Source(Quadrants(20, 20)));
  EXPECT_EQ(holder_.Markers().exif + holder_.Markers().icc_profile, "");
}

}  // namespace
}  // namespace quorvel::imaging
