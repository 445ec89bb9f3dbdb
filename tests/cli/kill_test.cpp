// Stopping at any moment (SIGKILL in a run or a configuration write; Ctrl-C, SIGTERM) leaves
// every file its old self or a complete new version, besides hidden ".tmp" files.
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
#include "persist/config_file.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;
using Micros = std::chrono::microseconds;
using FileMap = std::map<std::string, std::string>;

// Runs the program for a random time up to `bound` microseconds, then kills it wherever it is.
void KillWithin(const std::vector<std::string>& argv, long bound, std::mt19937& rng) {
  const pid_t pid = Spawn(argv);
  std::this_thread::sleep_for(Micros(std::uniform_int_distribution<long>(0, bound)(rng)));
  ::kill(pid, SIGKILL);
  WaitFor(pid);
}

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
    KillWithin(Args(changes[round % 6]), std::min<long>(full_run.count(), 600'000), rng);
    ExpectNothingDamaged(before, round);
    if (HasFatalFailure()) return;
  }
  const auto temporaries = [&] {
    const FileMap files = Files(tmp_.path());
    return std::count_if(files.begin(), files.end(),
                         [](const auto& file) { return IsHiddenTemporary(file.first); });
  };
  const ProcessResult last = RunProgram(Args({}, false));
  EXPECT_NE(last.output.find(std::to_string(kPhotos) + " images: "), std::string::npos)
      << last.output;
  EXPECT_NE(last.output.find(" kept, 0 failed; "), std::string::npos) << last.output;
  ExpectNothingDamaged(before, 24);
  // The complete run removed what the killed ones left where it writes.
  EXPECT_EQ(temporaries(), 0);
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

// Turns of writes to five keys, each value the number of its turn; the last value is long
// enough that the file takes more than one small write to put down. After each kill the file
// is the result of the writes up to one of them, in order, none lost: the keys of the turn cut
// off hold its number up to a point and the one before after it.
TEST(KilledConfigWriter, TheFileHoldsEveryWriteUpToTheKill) {
  TempDir tmp;
  const std::string path = tmp.file("config/quorvel.cfg");
  persist::ConfigFile config(path);
  const char* keys[] = {"left", "top", "main window save", "state lock", "default state"};
  const auto turn = [&](long long n) {
    for (int k = 0; k < 5; ++k) {
      config.WriteString("WINDOW", keys[k],
                         std::string(k == 4 ? 1500 : 0, 'g') + std::to_string(n));
    }
  };
  turn(0);
  long long held = 0;  // the turn the last key holds
  std::mt19937 rng(4242);
  for (int round = 0; round < 40; ++round) {
    const pid_t pid = ::fork();  // the writer, until killed
    if (pid == 0) {
      try {
        for (long long n = held + 1;; ++n) turn(n);
      } catch (...) {
      }
      ::_exit(1);
    }
    std::this_thread::sleep_for(Micros(round % 8 == 0 ? 0 : rng() % 15'000));
    ::kill(pid, SIGKILL);
    WaitFor(pid);
    const std::string text = ReadFile(path);
    ASSERT_TRUE(text.ends_with("\n")) << round;
    EXPECT_EQ(std::count(text.begin(), text.end(), '='), 5) << round;
    std::vector<long long> now;
    for (const char* key : keys) {
      const std::string value = config.ReadString("WINDOW", key, "");
      now.push_back(std::stoll(value.substr(value.find_first_not_of('g'))));
    }
    EXPECT_GE(now[4], held) << round;
    EXPECT_TRUE(std::is_sorted(now.rbegin(), now.rend()) && now[0] - now[4] <= 1) << round;
    held = now[4];
    for (const auto& e : fs::directory_iterator(tmp.file("config"))) {
      EXPECT_TRUE(e.path() == path || IsHiddenTemporary(e.path())) << round << e.path();
    }
  }
}

}  // namespace
}  // namespace quorvel::testing
