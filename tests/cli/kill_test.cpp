// Stopping a run at any moment (SIGKILL; Ctrl-C, SIGTERM) leaves every file its old self or a
// complete new version, besides hidden ".tmp" files (as state and configuration saves do).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "imaging/jpeg_decoder.h"
#include "job/error.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;
using Micros = std::chrono::microseconds;
using FileMap = std::map<std::string, std::string>;

bool IsHiddenTemporary(const fs::path& path) {
  return path.filename().string().starts_with(".") && path.extension() == ".tmp";
}

// Decodes to the end without even a warning: premature end of data is only a warning to
// libjpeg, and a cut-off file is exactly what must never be found.
struct NoRows : imaging::ScanlineConsumer {
  int ChooseScale(int, int, const imaging::SourceMarkers&) override { return 1; }
  void Begin(int, int) override {}
  void TakeRows(int, const std::uint8_t* const*, int) override {}
};

bool DecodesCompletely(const std::string& bytes) {
  NoRows rows;
  try {
    return bytes.ends_with("\xFF\xD9") && imaging::DecodeJpegBytesRows(bytes, "", rows).empty();
  } catch (const Error&) {
    return false;
  }
}

// 300 photos of assorted sizes, kinds and extensions; split index pages in web/, thumbnails in
// web/thumbs, picture pages among the photos.
class KilledGalleryRun : public ::testing::Test {
 protected:
  static constexpr int kPhotos = 300;

  void SetUp() override {
    tmp_.mkdir("photos");
    for (int k = 0; k < kPhotos; ++k) {
      const TestJpegOptions o{.width = 48 + (k * 7) % 49,
                              .height = 36 + (k * 5) % 37,
                              .components = k % 13 == 0 ? 1 : 3,
                              .quality = 70 + k % 26,
                              .progressive = k % 9 == 0};
      const char* ext = k % 11 == 0 ? ".JPG" : k % 7 == 0 ? ".jpeg" : ".jpg";
      WriteTestJpeg(tmp_.file("photos/p" + std::to_string(1000 + k) + ext), o);
    }
  }

  std::vector<std::string> Args(std::vector<std::string> sets, bool quiet = true) const {
    std::vector<std::string> args = {QUORVEL_BATCH, "-o", tmp_.file("web"), "-j3"};
    if (quiet) args.push_back("-q");
    sets.insert(sets.end(), {"SeparateHTML=1", "SplitHTML=1", "CreatePicturePages=1"});
    for (const std::string& s : sets) args.insert(args.end(), {"--set", s});
    args.push_back(tmp_.file("photos"));
    return args;
  }

  // Every file is a photo with its old bytes, a complete thumbnail, a complete page or a hidden
  // temporary; every file that was there before still is.
  void ExpectNothingDamaged(const FileMap& before, int round) {
    const FileMap now = Files(tmp_.path());
    for (const auto& [path, bytes] : now) {
      if (IsHiddenTemporary(path)) continue;
      if (path.starts_with("photos/") && !path.ends_with(".html")) {
        EXPECT_EQ(before.count(path) ? before.at(path) : "", bytes) << round << ": " << path;
      } else if (path.starts_with("web/thumbs/")) {
        EXPECT_TRUE(DecodesCompletely(bytes)) << round << ": broken thumbnail " << path;
      } else {
        EXPECT_TRUE(path.ends_with(".html") && bytes.ends_with("</html>\r\n")) << round << path;
      }
    }
    for (const auto& [path, bytes] : before) EXPECT_TRUE(now.count(path)) << round << path;
  }

  TempDir tmp_;
};

TEST_F(KilledGalleryRun, EveryFileIsOldOrCompleteAfterEachKill) {
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProgram(Args({})).status, 0);
  const Micros full_run =
      std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - started);
  const FileMap before = Files(tmp_.path());
  // The photos, their thumbnails and picture pages, and 20 index pages of 15.
  ASSERT_EQ(before.size(), std::size_t{kPhotos * 3 + 20});
  // Normal rounds rewrite the pages as they were; the others really replace thumbnails (update
  // mode off) and pages with different ones, so a kill can meet a file half replaced.
  const std::vector<std::vector<std::string>> changes = {
      {}, {"ThumbnailsInRow=3", "UpdateHTML=0", "Quality=85"},
      {}, {"UpdateHTML=0", "Quality=35", "ThumbnailWidth=60", "PicturePage.Title=T"},
      {}, {"ThumbnailsInRow=4", "ThumbnailsInColumn=5", "PageSettings.Title=Other"}};
  std::mt19937 rng(20240611);
  for (int round = 0; round < 24; ++round) {
    // Killed wherever it is after a random time up to a whole run's.
    const pid_t pid = Spawn(Args(changes[round % 6]));
    std::this_thread::sleep_for(Micros(rng() % std::min<long>(full_run.count(), 600'000)));
    ::kill(pid, SIGKILL);
    WaitFor(pid);
    ExpectNothingDamaged(before, round);
    if (HasFatalFailure()) return;
  }

  const ProcessResult last = RunProgram(Args({}, false));
  EXPECT_NE(last.output.find(std::to_string(kPhotos) + " images: "), std::string::npos)
      << last.output;
  EXPECT_NE(last.output.find(" kept, 0 failed; "), std::string::npos) << last.output;
  ExpectNothingDamaged(before, 24);
  // The complete run removed what the killed ones left where it writes.
  for (const auto& [path, bytes] : Files(tmp_.path()))
    EXPECT_FALSE(IsHiddenTemporary(path)) << path;
}

TEST_F(KilledGalleryRun, CtrlCAndSigtermStopTheRunAsTheStopButtonDoes) {
  const FileMap photos = Files(tmp_.path());
  const TempDir logs;
  for (const int signal : {SIGINT, SIGTERM}) {
    fs::remove_all(tmp_.file("web"));
    const pid_t pid = Spawn(Args({}, false), logs.file("log"));
    while (!fs::exists(tmp_.file("web/thumbs")) || fs::is_empty(tmp_.file("web/thumbs"))) {
      std::this_thread::sleep_for(Micros(200));
    }
    ::kill(pid, signal);
    EXPECT_EQ(WaitFor(pid), 128 + signal);
    const std::string log = ReadFile(logs.file("log"));
    EXPECT_NE(log.find(" (stopped)\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" of " + std::to_string(kPhotos) + " images: "), std::string::npos) << log;
    // The navigator still names the pages never reached, as after "&Stop" in the window.
    ExpectNothingDamaged(photos, signal);
  }
}

}  // namespace
}  // namespace quorvel::testing
