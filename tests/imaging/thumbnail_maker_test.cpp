// FitToBox on every worked example, and thumbnails read back with libjpeg: size, baseline
// JFIF, component count, the quantisation tables the quality implies, and the error paths.
#include "imaging/thumbnail_maker.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "job/error.h"
#include "imaging/fast_image.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(FitToBoxTest, WorkedExamples) {
  struct Case {
    int box_w, box_h, w, h, tw, th;
  };
  const std::vector<Case> cases = {
      {70, 70, 640, 480, 70, 52},
      {70, 70, 800, 600, 70, 52},
      {70, 70, 1024, 768, 70, 52},
      {70, 70, 480, 640, 52, 70},
      {70, 70, 100, 100, 70, 70},
      {70, 70, 40, 30, 70, 52},
      {70, 70, 700, 530, 70, 54},
      {70, 70, 700, 550, 70, 54},
      {70, 70, 700, 525, 70, 52},
      {70, 70, 700, 10, 70, 2},
      {100, 50, 640, 480, 100, 74},
      {100, 50, 480, 640, 38, 50},
      {100, 50, 100, 100, 50, 50},
      {15, 15, 1600, 1200, 15, 11},
      // Too elongated for a side of even one pixel: the side becomes 1.
      {70, 70, 1000, 10, 70, 1},
      {70, 70, 10, 1000, 1, 70},
      {70, 70, 1, 1, 70, 70},
  };
  for (const Case& c : cases) {
    const ThumbnailSize size = FitToBox(c.box_w, c.box_h, c.w, c.h);
    EXPECT_EQ(size.width, c.tw) << c.w << "x" << c.h << " in " << c.box_w << "x" << c.box_h;
    EXPECT_EQ(size.height, c.th) << c.w << "x" << c.h << " in " << c.box_w << "x" << c.box_h;
  }
}

// What libjpeg reads back from a thumbnail file.
struct ReadBack {
  int width = 0, height = 0, components = 0;
  bool progressive = true, jfif = false, has_chroma_table = false;
  std::vector<int> luma_table;  // natural order
  bool ok = false;
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
  if (setjmp(error.jump) == 0) {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    r.width = static_cast<int>(cinfo.image_width);
    r.height = static_cast<int>(cinfo.image_height);
    r.components = cinfo.num_components;
    r.progressive = cinfo.progressive_mode;
    r.jfif = cinfo.saw_JFIF_marker;
    r.has_chroma_table = cinfo.quant_tbl_ptrs[1] != nullptr;
    for (int i = 0; i < 64; ++i) r.luma_table.push_back(cinfo.quant_tbl_ptrs[0]->quantval[i]);
    r.ok = true;
  }
  jpeg_destroy_decompress(&cinfo);
  return r;
}

// The luminance table of the JPEG standard's Annex K, natural order.
const int kLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                            14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                            18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                            49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

std::vector<int> ScaledLuminance(int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::vector<int> table;
  for (int v : kLuminance) table.push_back(std::clamp((v * scale + 50) / 100, 1, 255));
  return table;
}

class ThumbnailTest : public ::testing::Test {
 protected:
  std::string Source(const std::string& name, int w, int h) {
    testing::TestJpegOptions o;
    o.width = w;
    o.height = h;
    return testing::WriteTestJpeg(tmp_.file(name), o);
  }
  ThumbnailRequest Request(const std::string& source, const std::string& target) {
    ThumbnailRequest r;
    r.source = source;
    r.target = tmp_.file(target);
    return r;
  }
  std::string ErrorOf(const ThumbnailRequest& r) {
    try {
      MakeThumbnail(holder_, r);
    } catch (const Error& e) {
      return e.what();
    }
    return "no error";
  }

  TempDir tmp_;
  FastImage holder_;
};

TEST_F(ThumbnailTest, ColourThumbnailIsBaselineJfifOfTheFittedSize) {
  const ThumbnailRequest r = Request(Source("photo.jpg", 640, 480), "tn_photo.jpg");
  MakeThumbnail(holder_, r);
  const ReadBack back = Inspect(ReadFile(r.target));
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.width, 70);
  EXPECT_EQ(back.height, 52);
  EXPECT_EQ(back.components, 3);
  EXPECT_FALSE(back.progressive);
  EXPECT_TRUE(back.jfif);
  EXPECT_TRUE(back.has_chroma_table);
  EXPECT_EQ(back.luma_table, ScaledLuminance(60));
  EXPECT_EQ(ReadFile(r.target).substr(0, 4), "\xFF\xD8\xFF\xE0");
  EXPECT_NE(ReadFile(r.target).find("\xFF\xC0"), std::string::npos);  // baseline frame
  EXPECT_EQ(holder_.FastBMP().Width(), 70);
  EXPECT_EQ(holder_.FastBMP().Height(), 52);
}

TEST_F(ThumbnailTest, GrayscaleHasOneComponent) {
  for (int quality : {1, 25, 60, 100}) {
    ThumbnailRequest r = Request(Source("tall.JPG", 30, 40), "tn_tall.jpg");
    r.grayscale = true;
    r.quality = quality;
    MakeThumbnail(holder_, r);
    const ReadBack back = Inspect(ReadFile(r.target));
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.width, 52);  // enlarged to fit
    EXPECT_EQ(back.height, 70);
    EXPECT_EQ(back.components, 1);
    EXPECT_FALSE(back.has_chroma_table);
    EXPECT_EQ(back.luma_table, ScaledLuminance(quality)) << quality;
  }
  EXPECT_EQ(ScaledLuminance(100), std::vector<int>(64, 1));
}

TEST_F(ThumbnailTest, TheSameHolderServesImageAfterImage) {
  const ThumbnailRequest a = Request(Source("a.jpg", 100, 100), "tn_a.jpg");
  ThumbnailRequest b = Request(Source("b.jpg", 1000, 10), "tn_b.jpg");
  MakeThumbnail(holder_, a);
  MakeThumbnail(holder_, b);
  EXPECT_EQ(Inspect(ReadFile(a.target)).width, 70);
  const ReadBack back = Inspect(ReadFile(b.target));
  EXPECT_EQ(back.width, 70);
  EXPECT_EQ(back.height, 1);
}

TEST_F(ThumbnailTest, ErrorsCarryTheirMessagesAndKeepAnExistingThumbnail) {
  const std::string old = tmp_.write("tn_x.jpg", "previous thumbnail");
  const std::string missing = tmp_.file("missing.jpg");
  EXPECT_EQ(ErrorOf(Request(missing, "tn_x.jpg")), "Cannot open file " + missing);
  EXPECT_EQ(
      ErrorOf(Request(tmp_.write("x.jpg", "not a jpeg"), "tn_x.jpg")).rfind("JPEG error #", 0), 0u);
  EXPECT_EQ(ReadFile(old), "previous thumbnail");
  const ThumbnailRequest nowhere = Request(Source("y.jpg", 20, 20), "no/such/dir/tn_y.jpg");
  EXPECT_EQ(ErrorOf(nowhere), "Cannot create file " + nowhere.target);
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("no")));
  // Success replaces the old file.
  MakeThumbnail(holder_, Request(Source("x2.jpg", 20, 20), "tn_x.jpg"));
  EXPECT_TRUE(Inspect(ReadFile(old)).ok);
}

TEST_F(ThumbnailTest, TruncatedSourceStillGivesAThumbnail) {
  testing::TestJpegOptions o;
  o.width = 80;
  o.height = 60;
  const std::string bytes = testing::EncodeTestJpeg(o);
  const ThumbnailRequest r =
      Request(tmp_.write("truncated_in_scan.jpg", bytes.substr(0, bytes.size() * 2 / 3)), "tn.jpg");
  MakeThumbnail(holder_, r);
  const ReadBack back = Inspect(ReadFile(r.target));
  EXPECT_EQ(back.width, 70);
  EXPECT_EQ(back.height, 52);
}

TEST_F(ThumbnailTest, SameInputGivesTheSameBytes) {
  const ThumbnailRequest a = Request(Source("s.jpg", 123, 77), "tn_1.jpg");
  ThumbnailRequest b = a;
  b.target = tmp_.file("tn_2.jpg");
  MakeThumbnail(holder_, a);
  FastImage other;
  MakeThumbnail(other, b);
  EXPECT_EQ(ReadFile(a.target), ReadFile(b.target));
}

}  // namespace
}  // namespace quorvel::imaging
