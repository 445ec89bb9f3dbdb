// quorvel-batch on phone-style photos: --no-orient and --no-profile each switch off one
// thing, both together give the thumbnail of the same pixels without any tags, and update
// mode keeps an existing thumbnail.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "imaging/jpeg_decoder.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace {

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
using quorvel::testing::TestJpegOptions;
namespace fs = std::filesystem;

int Batch(const std::string& args) {
  const std::string command = std::string(QUORVEL_BATCH) + " --quiet " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  while (std::fread(buffer, 1, sizeof buffer, pipe) > 0) {
  }
  const int raw = ::pclose(pipe);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct Thumb {
  int width = 0, height = 0;
  std::string icc;
  std::uint8_t top_right_red = 0;  // the red sample of the top right pixel
};

Thumb Look(const std::string& path) {
  quorvel::imaging::TFastBmp bmp;
  quorvel::imaging::SourceMarkers markers;
  quorvel::imaging::DecodeJpegFile(path, bmp, &markers);
  return {bmp.Width(), bmp.Height(), markers.icc_profile, bmp.Row(0)[3 * (bmp.Width() - 1) + 2]};
}

class BatchOrientationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Stored landscape, left half red, right half blue; the phone was held upright, so the
    // stored left edge is the top of the picture: red above blue once turned.
    TestJpegOptions o;
    o.width = 64;
    o.height = 48;
    o.pixel = [](int x, int, int c) -> std::uint8_t {
      return x < 32 ? (c == 0 ? 220 : 20) : (c == 2 ? 220 : 20);
    };
    fs::create_directories(tmp_.file("plain"));
    fs::create_directories(tmp_.file("phone"));
    quorvel::testing::WriteTestJpeg(tmp_.file("plain/photo.jpg"), o);
    o.exif = quorvel::testing::ExifWithOrientation(6);
    o.icc = quorvel::testing::TestIccProfile(2000);
    profile_ = o.icc;
    quorvel::testing::WriteTestJpeg(tmp_.file("phone/photo.jpg"), o);
  }
  // Runs quorvel-batch over `dir` into web/`dir`, returns the thumbnail's path.
  std::string Run(const std::string& dir, const std::string& options) {
    const std::string web = tmp_.file("web/" + dir);
    fs::create_directories(web + "/t");
    EXPECT_EQ(Batch(options + " --html-dir " + web + " --thumb-dir " + web + "/t " +
                    tmp_.file(dir.substr(0, dir.find('-')))),
              0);
    return web + "/t/photo_thumb.jpg";
  }

  TempDir tmp_{};
  std::string profile_;
};

TEST_F(BatchOrientationTest, BothOnByDefault) {
  const Thumb t = Look(Run("phone-default", ""));
  EXPECT_EQ(t.width, 52);
  EXPECT_EQ(t.height, 70);
  EXPECT_EQ(t.icc, profile_);
  EXPECT_GT(t.top_right_red, 150);
}

TEST_F(BatchOrientationTest, EachOptionSwitchesOffOneThing) {
  const Thumb no_orient = Look(Run("phone-no-orient", "--no-orient"));
  EXPECT_EQ(no_orient.width, 70);
  EXPECT_EQ(no_orient.height, 52);
  EXPECT_EQ(no_orient.icc, profile_);
  EXPECT_LT(no_orient.top_right_red, 100);
  const Thumb no_profile = Look(Run("phone-no-profile", "--no-profile"));
  EXPECT_EQ(no_profile.width, 52);
  EXPECT_EQ(no_profile.icc, "");
}

TEST_F(BatchOrientationTest, BothOffGiveTheUntaggedThumbnail) {
  const std::string plain = ReadFile(Run("plain-default", ""));
  EXPECT_EQ(ReadFile(Run("phone-off", "--no-orient --no-profile")), plain);
  EXPECT_EQ(ReadFile(Run("plain-off", "--no-orient --no-profile")), plain);
}

TEST_F(BatchOrientationTest, UpdateModeKeepsAnExistingThumbnail) {
  const std::string thumb = Run("phone-update", "");
  ASSERT_EQ(quorvel::platform::WriteFileAtomically(thumb, "kept"), 0);
  Run("phone-update", "--set UpdateHTML=true");
  EXPECT_EQ(ReadFile(thumb), "kept");
  Run("phone-update", "--set UpdateHTML=false");
  EXPECT_EQ(Look(thumb).width, 52);
}

}  // namespace
