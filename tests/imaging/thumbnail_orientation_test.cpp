// Thumbnails of camera and phone photos: turned upright by the Orientation tag, carrying the
// source's colour profile, and byte for byte the plain thumbnail when neither applies.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <string>
#include <vector>

#include "job/error.h"
#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_maker.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::ExifWithOrientation;
using testing::ReadFile;
using testing::TempDir;
using testing::TestIccProfile;
using testing::TestJpegOptions;

// Stored quadrants: top left red, top right green, bottom left blue, bottom right white.
enum Colour { kRed, kGreen, kBlue, kWhite };
constexpr std::uint8_t kRgb[4][3] = {{230, 20, 20}, {20, 200, 20}, {20, 20, 230}, {240, 240, 240}};
const char* const kNames[4] = {"red", "green", "blue", "white"};

TestJpegOptions Quadrants(int width, int height) {
  TestJpegOptions o;
  o.width = width;
  o.height = height;
  o.quality = 95;
  o.pixel = [width, height](int x, int y, int c) {
    const int q = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
    return kRgb[q][c];
  };
  return o;
}

// The quadrant colour nearest to a bitmap pixel (blue, green, red bytes).
const char* Nearest(const TFastBmp& bmp, int x, int y) {
  const std::uint8_t* p = bmp.Row(y) + 3 * x;
  int best = 0;
  int best_distance = 1 << 30;
  for (int c = 0; c < 4; ++c) {
    const int dr = p[2] - kRgb[c][0], dg = p[1] - kRgb[c][1], db = p[0] - kRgb[c][2];
    const int d = dr * dr + dg * dg + db * db;
    if (d < best_distance) best_distance = d, best = c;
  }
  return best_distance < 60 * 60 ? kNames[best] : "none";
}

struct JumpError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// The ICC profile of a JPEG stream as libjpeg reassembles it ("" when there is none), and
// whether any APP1 marker is present.
struct Metadata {
  std::string icc;
  bool has_app1 = false;
  bool ok = false;
};

Metadata ReadMetadata(const std::string& bytes) {
  Metadata m;
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
    for (jpeg_saved_marker_ptr p = cinfo.marker_list; p != nullptr; p = p->next) {
      if (p->marker == JPEG_APP0 + 1) m.has_app1 = true;
    }
    if (jpeg_read_icc_profile(&cinfo, &icc, &icc_size)) {
      m.icc.assign(reinterpret_cast<const char*>(icc), icc_size);
    }
    m.ok = true;
  }
  std::free(icc);
  jpeg_destroy_decompress(&cinfo);
  return m;
}

class ThumbnailOrientationTest : public ::testing::Test {
 protected:
  ThumbnailRequest Request(const std::string& source, const std::string& target) {
    ThumbnailRequest r;
    r.source = source;
    r.target = tmp_.file(target);
    return r;
  }
  // Makes the thumbnail and returns its bytes.
  std::string Make(const ThumbnailRequest& r) {
    MakeThumbnail(holder_, r);
    return ReadFile(r.target);
  }
  TFastBmp Decoded(const std::string& path) {
    TFastBmp bmp;
    DecodeJpegFile(path, bmp);
    return bmp;
  }

  TempDir tmp_;
  FastImage holder_;
};

TEST_F(ThumbnailOrientationTest, EveryOrientationPutsTheCornersWhereTheTagSays) {
  // Displayed corners top left, top right, bottom left, bottom right of a stored
  // red | green over blue | white picture.
  struct Case {
    int orientation;
    int width, height;
    const char* corners[4];
  };
  const std::vector<Case> cases = {
      {1, 70, 52, {"red", "green", "blue", "white"}},
      {2, 70, 52, {"green", "red", "white", "blue"}},
      {3, 70, 52, {"white", "blue", "green", "red"}},
      {4, 70, 52, {"blue", "white", "red", "green"}},
      {5, 52, 70, {"red", "blue", "green", "white"}},
      {6, 52, 70, {"blue", "red", "white", "green"}},
      {7, 52, 70, {"white", "green", "blue", "red"}},
      {8, 52, 70, {"green", "white", "red", "blue"}},
  };
  for (const Case& c : cases) {
    TestJpegOptions o = Quadrants(64, 48);
    o.exif = ExifWithOrientation(c.orientation, c.orientation % 2 == 0);
    const std::string name = "o" + std::to_string(c.orientation);
    const ThumbnailRequest r =
        Request(testing::WriteTestJpeg(tmp_.file(name + ".jpg"), o), "tn_" + name + ".jpg");
    MakeThumbnail(holder_, r);
    const TFastBmp thumb = Decoded(r.target);
    ASSERT_EQ(thumb.Width(), c.width) << c.orientation;
    ASSERT_EQ(thumb.Height(), c.height) << c.orientation;
    const int r_ = thumb.Width() - 1, b_ = thumb.Height() - 1;
    EXPECT_STREQ(Nearest(thumb, 0, 0), c.corners[0]) << c.orientation;
    EXPECT_STREQ(Nearest(thumb, r_, 0), c.corners[1]) << c.orientation;
    EXPECT_STREQ(Nearest(thumb, 0, b_), c.corners[2]) << c.orientation;
    EXPECT_STREQ(Nearest(thumb, r_, b_), c.corners[3]) << c.orientation;
  }
}

TEST_F(ThumbnailOrientationTest, FitsTheDisplayedSizeInAWideBox) {
  // Stored 640 x 480 turned to 480 x 640: in a 100 x 50 box that is 38 x 50, not 100 x 74.
  TestJpegOptions o = Quadrants(640, 480);
  o.exif = ExifWithOrientation(8);
  ThumbnailRequest r = Request(testing::WriteTestJpeg(tmp_.file("p.jpg"), o), "tn_p.jpg");
  r.box_width = 100;
  r.box_height = 50;
  MakeThumbnail(holder_, r);
  const TFastBmp thumb = Decoded(r.target);
  EXPECT_EQ(thumb.Width(), 38);
  EXPECT_EQ(thumb.Height(), 50);
}

TEST_F(ThumbnailOrientationTest, ResamplesAsStoredThenTurns) {
  // The turned thumbnail's pixels are exactly the plain thumbnail's pixels, turned.
  TestJpegOptions o = Quadrants(93, 61);
  o.pixel = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * 7 + y * 13 + c * 50) % 256);
  };
  const std::string plain = testing::WriteTestJpeg(tmp_.file("plain.jpg"), o);
  MakeThumbnail(holder_, Request(plain, "tn_plain.jpg"));
  const TFastBmp resampled = holder_.FastBMP();
  for (int v = 2; v <= 8; ++v) {
    o.exif = ExifWithOrientation(v);
    MakeThumbnail(holder_, Request(testing::WriteTestJpeg(tmp_.file("t.jpg"), o), "tn_t.jpg"));
    const TFastBmp expected = OrientBitmap(resampled, v);
    const TFastBmp& got = holder_.FastBMP();
    ASSERT_EQ(got.Width(), expected.Width()) << v;
    ASSERT_EQ(got.Height(), expected.Height()) << v;
    for (int y = 0; y < got.Height(); ++y) {
      ASSERT_EQ(std::string(reinterpret_cast<const char*>(got.Row(y)), 3u * got.Width()),
                std::string(reinterpret_cast<const char*>(expected.Row(y)), 3u * got.Width()))
          << "orientation " << v << " row " << y;
    }
  }
}

TEST_F(ThumbnailOrientationTest, DamagedExifGivesThePlainThumbnail) {
  const TestJpegOptions plain = Quadrants(64, 48);
  const std::string reference =
      Make(Request(testing::WriteTestJpeg(tmp_.file("plain.jpg"), plain), "tn_plain.jpg"));
  const std::string six = ExifWithOrientation(6);
  const std::string loop = std::string("Exif\0\0II*\0\x08\0\0\0", 14) +
                           std::string("\x01\0\x69\x87\x04\0\x01\0\0\0\x1A\0\0\0\x1A\0\0\0", 18) +
                           std::string("\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\x08\0\0\0", 18);
  const std::vector<std::pair<const char*, std::string>> blocks = {
      {"wrong IFD0 offset", six.substr(0, 10) + std::string("\x00\x10\0\0", 4) + six.substr(14)},
      {"truncated", six.substr(0, 20)},
      {"loop of IFD offsets", loop},
      {"orientation 9", ExifWithOrientation(9)},
      {"orientation 1", ExifWithOrientation(1)},
  };
  for (const auto& [name, block] : blocks) {
    TestJpegOptions o = plain;
    o.exif = block;
    const std::string bytes =
        Make(Request(testing::WriteTestJpeg(tmp_.file("damaged.jpg"), o), "tn_damaged.jpg"));
    EXPECT_EQ(bytes, reference) << name;
  }
}

TEST_F(ThumbnailOrientationTest, TheColourProfileReadsBackByteForByte) {
  for (std::size_t size : {std::size_t{132}, std::size_t{3000}, std::size_t{150000}}) {
    TestJpegOptions o = Quadrants(64, 48);
    o.icc = TestIccProfile(size);
    const ThumbnailRequest r =
        Request(testing::WriteTestJpeg(tmp_.file("icc.jpg"), o), "tn_icc.jpg");
    const Metadata m = ReadMetadata(Make(r));
    ASSERT_TRUE(m.ok);
    EXPECT_EQ(m.icc.size(), size);
    EXPECT_TRUE(m.icc == o.icc) << size;
    EXPECT_FALSE(m.has_app1);  // the Exif block is not carried: the pixels are already upright
  }
}

TEST_F(ThumbnailOrientationTest, ProfilesThatDoNotFitAreLeftOut) {
  TestJpegOptions o = Quadrants(64, 48);
  o.icc = TestIccProfile(500);
  const std::string source = testing::WriteTestJpeg(tmp_.file("icc.jpg"), o);
  ThumbnailRequest gray = Request(source, "tn_gray.jpg");
  gray.grayscale = true;
  EXPECT_EQ(ReadMetadata(Make(gray)).icc, "");
  ThumbnailRequest off = Request(source, "tn_off.jpg");
  off.keep_color_profile = false;
  EXPECT_EQ(ReadMetadata(Make(off)).icc, "");
  // A profile for gray or CMYK data would misdescribe the thumbnail's RGB samples.
  for (const char* space : {"GRAY", "CMYK"}) {
    o.icc = TestIccProfile(500, space);
    const std::string other = testing::WriteTestJpeg(tmp_.file("other.jpg"), o);
    EXPECT_EQ(ReadMetadata(Make(Request(other, "tn_other.jpg"))).icc, "") << space;
  }
}

TEST_F(ThumbnailOrientationTest, WithBothOptionsOffEveryThumbnailIsThePlainOne) {
  // Plain sources (colour, gray, CMYK, progressive) against the same pixels tagged and
  // profiled: with the options off the thumbnails are identical to the plain ones, and a
  // plain source gives the same bytes whether the options are on or off.
  struct Case {
    int width, height, components;
    bool progressive, grayscale;
  };
  const std::vector<Case> cases = {
      {64, 48, 3, false, false}, {48, 64, 3, false, true},  {40, 30, 1, false, false},
      {33, 77, 4, false, false}, {120, 90, 3, true, false}, {700, 10, 3, false, false},
  };
  int i = 0;
  for (const Case& c : cases) {
    ++i;
    TestJpegOptions o;
    o.width = c.width;
    o.height = c.height;
    o.components = c.components;
    o.progressive = c.progressive;
    const std::string plain_path = testing::WriteTestJpeg(tmp_.file("plain.jpg"), o);
    ThumbnailRequest on = Request(plain_path, "tn_on.jpg");
    on.grayscale = c.grayscale;
    ThumbnailRequest off = on;
    off.target = tmp_.file("tn_off.jpg");
    off.apply_orientation = false;
    off.keep_color_profile = false;
    const std::string plain = Make(on);
    EXPECT_EQ(Make(off), plain) << i;
    EXPECT_EQ(ReadMetadata(plain).icc, "") << i;
    for (int v = 1; v <= 8; ++v) {
      o.exif = ExifWithOrientation(v);
      o.icc = TestIccProfile(1000);
      ThumbnailRequest tagged = off;
      tagged.source = testing::WriteTestJpeg(tmp_.file("tagged.jpg"), o);
      tagged.target = tmp_.file("tn_tagged.jpg");
      EXPECT_EQ(Make(tagged), plain) << i << " orientation " << v;
    }
  }
}

TEST_F(ThumbnailOrientationTest, OrientationAndProfileTogetherAndEachAlone) {
  TestJpegOptions o = Quadrants(64, 48);
  o.exif = ExifWithOrientation(6);
  o.icc = TestIccProfile(700);
  const std::string source = testing::WriteTestJpeg(tmp_.file("phone.jpg"), o);
  ThumbnailRequest both = Request(source, "tn_both.jpg");
  const Metadata m = ReadMetadata(Make(both));
  EXPECT_EQ(m.icc, o.icc);
  EXPECT_EQ(Decoded(both.target).Width(), 52);
  ThumbnailRequest no_orient = Request(source, "tn_no_orient.jpg");
  no_orient.apply_orientation = false;
  EXPECT_EQ(ReadMetadata(Make(no_orient)).icc, o.icc);
  EXPECT_EQ(Decoded(no_orient.target).Width(), 70);
  EXPECT_STREQ(Nearest(Decoded(no_orient.target), 0, 0), "red");
  ThumbnailRequest no_profile = Request(source, "tn_no_profile.jpg");
  no_profile.keep_color_profile = false;
  EXPECT_EQ(ReadMetadata(Make(no_profile)).icc, "");
  EXPECT_EQ(Decoded(no_profile.target).Width(), 52);
  EXPECT_STREQ(Nearest(Decoded(no_profile.target), 0, 0), "blue");
}

TEST_F(ThumbnailOrientationTest, AFailedLoadKeepsThePreviousImageAndItsBlocks) {
  TestJpegOptions o = Quadrants(64, 48);
  o.exif = ExifWithOrientation(6);
  o.icc = TestIccProfile(300);
  holder_.SetFilename(testing::WriteTestJpeg(tmp_.file("a.jpg"), o));
  EXPECT_THROW(holder_.SetFilename(tmp_.write("bad.jpg", "not a jpeg")), Error);
  EXPECT_EQ(holder_.FastBMP().Width(), 64);
  EXPECT_EQ(holder_.Markers().exif, o.exif);
  EXPECT_EQ(holder_.Markers().icc_profile, o.icc);
  // The next good image replaces both blocks, also with nothing.
  holder_.SetFilename(testing::WriteTestJpeg(tmp_.file("b.jpg"), Quadrants(20, 20)));
  EXPECT_EQ(holder_.Markers().exif, "");
  EXPECT_EQ(holder_.Markers().icc_profile, "");
}

}  // namespace
}  // namespace quorvel::imaging
