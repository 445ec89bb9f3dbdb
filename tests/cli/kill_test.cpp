// Killing the program at any moment never damages the user's files: quorvel-batch killed with
// SIGKILL in the middle of a gallery run or of a state-file save, and a configuration writer
// killed between and during its writes. After every kill each file is either what it was or a
// complete new version, the photos are untouched, and nothing left behind passes for output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csetjmp>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cli/config_writer_values.h"
#include "job/error.h"
#include "persist/config_file.h"
#include "persist/state_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

extern char** environ;

namespace {

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Micros = std::chrono::microseconds;

// ---- processes -------------------------------------------------------------------------------

// Starts `program` with `args`, no shell; its output goes to `output` (or /dev/null).
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::string& output = "/dev/null") {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

// The exit code, or -1 when the process did not exit by itself.
int Wait(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunToEnd(const std::string& program, const std::vector<std::string>& args,
             const std::string& output = "/dev/null") {
  const pid_t pid = Spawn(program, args, output);
  return pid < 0 ? -1 : Wait(pid);
}

// Lets the process run for `delay`, then kills it wherever it is (it may have finished).
void KillAfter(pid_t pid, Micros delay) {
  if (delay.count() > 0) std::this_thread::sleep_for(delay);
  ::kill(pid, SIGKILL);
  Wait(pid);
}

// ---- strict JPEG check -----------------------------------------------------------------------

// Unlike the program's decoder, a warning fails too: premature end of data is only a warning
// to libjpeg, and a cut-off file is exactly what must never be found.
struct StrictErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void FailDecoding(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<StrictErrorManager*>(cinfo->err)->jump, 1);
}

void FailOnWarning(j_common_ptr cinfo, int level) {
  if (level < 0) FailDecoding(cinfo);
}

// Only plain C objects live in this function, so the jump skips no destructor.
bool DecodesCompletely(const std::string& bytes) {
  if (bytes.size() < 4 || bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") != 0) return false;
  jpeg_decompress_struct cinfo;
  StrictErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = FailDecoding;
  errors.base.emit_message = FailOnWarning;
  jpeg_create_decompress(&cinfo);
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_mem_src(&cinfo, reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * cinfo.output_components, 1);
  while (cinfo.output_scanline < cinfo.output_height) jpeg_read_scanlines(&cinfo, row, 1);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool IsCompletePage(const std::string& text) { return text.ends_with("</html>\r\n"); }

bool HasExtension(const fs::path& path, std::initializer_list<const char*> extensions) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return std::any_of(extensions.begin(), extensions.end(), [&](const char* e) { return ext == e; });
}

// A leftover of an interrupted atomic write: hidden and ending ".tmp", so no scan takes it for
// a photo and no page links it.
bool IsHiddenTemporary(const fs::path& path) {
  const std::string name = path.filename().string();
  return name.starts_with(".") && name.ends_with(".tmp");
}

std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) files[e.path().string()] = ReadFile(e.path().string());
  }
  return files;
}

std::uniform_int_distribution<long> Between(long low, long high) {
  return std::uniform_int_distribution<long>(low, high);
}

// ---- gallery run killed ----------------------------------------------------------------------

class KilledGalleryRun : public ::testing::Test {
 protected:
  static constexpr int kPhotos = 300;

  void SetUp() override {
    photos_ = tmp_.mkdir("photos");
    web_ = tmp_.mkdir("web");
    thumbs_ = tmp_.mkdir("web/thumbs");
    for (int k = 0; k < kPhotos; ++k) {
      quorvel::testing::TestJpegOptions o;
      o.width = 48 + (k * 7) % 49;
      o.height = 36 + (k * 5) % 37;
      o.components = k % 13 == 0 ? 1 : 3;
      o.progressive = k % 9 == 0;
      o.quality = 70 + k % 26;
      o.pixel = [k](int x, int y, int c) {
        const unsigned h = static_cast<unsigned>(x * 73856093 ^ y * 19349663 ^ (k + c) * 83492791);
        return static_cast<std::uint8_t>((x * (k % 5 + 1) + y * (c + 2) + k * 31) % 256 ^
                                         (h >> 28));
      };
      char name[32];
      std::snprintf(name, sizeof name, "p%03d.%s", k,
                    k % 11 == 0  ? "JPG"
                    : k % 7 == 0 ? "jpeg"
                                 : "jpg");
      quorvel::testing::WriteTestJpeg(photos_ + "/" + name, o);
    }
  }

  // Split index pages in the web directory, thumbnails beside them, picture pages among the
  // photos; `extra` changes the settings of one round.
  std::vector<std::string> BatchArgs(const std::vector<std::string>& extra) const {
    std::vector<std::string> args = {"--quiet", "--html-dir", web_, "--thumb-dir", thumbs_};
    std::vector<std::string> sets = {"SeparateHTML=true", "SplitHTML=true",
                                     "CreatePicturePages=true"};
    sets.insert(sets.end(), extra.begin(), extra.end());
    for (const std::string& s : sets) {
      args.push_back("--set");
      args.push_back(s);
    }
    args.push_back(photos_);
    return args;
  }

  // Every file below the temporary directory is a photo with its old bytes, a complete
  // thumbnail, a complete page or a hidden temporary; every file that was there before still
  // is, as its old bytes or a complete new version.
  void ExpectNothingDamaged(const std::map<std::string, std::string>& before, int round) {
    std::set<std::string> seen;
    for (const auto& e : fs::recursive_directory_iterator(tmp_.path())) {
      if (!e.is_regular_file()) continue;
      const fs::path& path = e.path();
      if (IsHiddenTemporary(path)) {
        leftovers_.insert(path.string());
        continue;
      }
      seen.insert(path.string());
      const std::string bytes = ReadFile(path.string());
      if (const auto old = before.find(path.string());
          old == before.end() || old->second != bytes) {
        replaced_.insert(path.string());
      }
      const bool in_photos = path.parent_path() == photos_;
      if (in_photos && HasExtension(path, {".jpg", ".jpeg"})) {
        const auto old = before.find(path.string());
        ASSERT_TRUE(old != before.end()) << "round " << round << ": new photo " << path;
        EXPECT_EQ(bytes, old->second) << "round " << round << ": photo changed " << path;
      } else if (path.parent_path() == thumbs_ && HasExtension(path, {".jpg", ".jpeg"})) {
        EXPECT_TRUE(DecodesCompletely(bytes)) << "round " << round << ": broken thumbnail " << path;
      } else if (path.extension() == ".html") {
        EXPECT_TRUE(IsCompletePage(bytes)) << "round " << round << ": cut-off page " << path;
      } else {
        ADD_FAILURE() << "round " << round << ": unexpected file " << path;
      }
    }
    for (const auto& [path, bytes] : before) {
      EXPECT_TRUE(seen.contains(path)) << "round " << round << ": lost " << path;
    }
  }

  TempDir tmp_;
  std::string photos_;
  std::string web_;
  std::string thumbs_;
  std::set<std::string> leftovers_;
  std::set<std::string> replaced_;  // outputs whose bytes a kill round changed
};

TEST_F(KilledGalleryRun, StrictCheckRefusesACutOffJpeg) {
  const std::string whole = ReadFile(photos_ + "/p001.jpg");
  ASSERT_TRUE(DecodesCompletely(whole));
  EXPECT_FALSE(DecodesCompletely(whole.substr(0, whole.size() - 2)));
  for (const std::size_t keep : {whole.size() / 2, std::size_t{200}}) {
    EXPECT_FALSE(DecodesCompletely(whole.substr(0, keep))) << keep;
    // Even when the cut-off data is followed by an end marker.
    EXPECT_FALSE(DecodesCompletely(whole.substr(0, keep) + "\xFF\xD9")) << keep;
  }
}

TEST_F(KilledGalleryRun, EveryFileIsOldOrCompleteAfterEachKill) {
  const auto started = Clock::now();
  ASSERT_EQ(RunToEnd(QUORVEL_BATCH, BatchArgs({})), 0);
  const auto full_run = std::chrono::duration_cast<Micros>(Clock::now() - started);
  const std::map<std::string, std::string> before = Snapshot(tmp_.path());
  for (const auto& [path, bytes] : before) {
    ASSERT_FALSE(IsHiddenTemporary(path)) << "a finished run left " << path;
  }
  // The photos, their thumbnails and picture pages, and 20 index pages of 15.
  ASSERT_EQ(before.size(), std::size_t{kPhotos * 3 + 20});

  // Normal rounds rewrite the pages as they were; the others really replace thumbnails (update
  // mode off) and pages with different ones, so a kill can meet a file half replaced.
  const std::vector<std::vector<std::string>> changes = {
      {"ThumbnailsInRow=3", "UpdateHTML=false", "Quality=85"},
      {"UpdateHTML=false", "Quality=35", "ThumbnailWidth=60",
       "PictureSettings.PicturePage.Title=Another title"},
      {"ThumbnailsInRow=4", "ThumbnailsInColumn=5", "PageSettings.Title=Other"},
  };
  // Bounded so that 24 rounds stay within a few seconds on a busy machine.
  const long bound = std::min<long>(full_run.count(), 600'000);
  std::mt19937 rng(20240611);
  constexpr int kRounds = 24;
  for (int round = 0; round < kRounds; ++round) {
    const auto& extra = round % 2 == 0 ? std::vector<std::string>{} : changes[(round / 2) % 3];
    const pid_t pid = Spawn(QUORVEL_BATCH, BatchArgs(extra));
    ASSERT_GT(pid, 0);
    KillAfter(pid, Micros(Between(0, bound)(rng)));
    ExpectNothingDamaged(before, round);
    if (HasFatalFailure()) return;
  }

  // What the kills left behind is not taken for a photo: a finished run still sees 300.
  const std::string log = tmp_.file("last-run.txt");
  std::vector<std::string> args = BatchArgs({});
  args.erase(args.begin());  // without --quiet, for the summary line
  EXPECT_EQ(RunToEnd(QUORVEL_BATCH, args, log), 0) << ReadFile(log);
  EXPECT_NE(ReadFile(log).find(std::to_string(kPhotos) + " images done, 0 failed"),
            std::string::npos)
      << ReadFile(log);
  fs::remove(log);
  ExpectNothingDamaged(before, kRounds);
  RecordProperty("temporaries_seen_after_kills", static_cast<int>(leftovers_.size()));
  RecordProperty("outputs_replaced", static_cast<int>(replaced_.size()));
}

// ---- state file saved over an existing one ----------------------------------------------------

TEST(KilledStateSave, TheStateFileIsAlwaysOneCompleteVersion) {
  TempDir tmp;
  const std::string state = tmp.file("jobs/job.qvl");
  fs::create_directories(tmp.file("jobs"));
  const std::vector<std::vector<std::string>> versions = {
      {"--set", "ThumbnailsInRow=2", "--set", "PageSettings.Title=First"},
      {"--set", "ThumbnailsInRow=7", "--set", "Quality=90", "--set", "PageSettings.Title=Second"},
      {"--set", "SplitHTML=true", "--set",
       "PageSettings.TopHTML=<h1>" + std::string(3000, 't') + "</h1>"},
      {"--set", "PageSettings.Title=" + std::string(200, 'x'), "--set",
       "TableSettings.BorderColor=#00FF00"},
  };
  std::set<std::string> complete;
  for (std::size_t v = 0; v < versions.size(); ++v) {
    std::vector<std::string> args = versions[v];
    args.insert(args.end(), {"--save-state", tmp.file("complete.qvl")});
    ASSERT_EQ(RunToEnd(QUORVEL_BATCH, args), 0);
    complete.insert(ReadFile(tmp.file("complete.qvl")));
  }
  fs::remove(tmp.file("complete.qvl"));
  ASSERT_EQ(complete.size(), versions.size());

  std::vector<std::string> first = versions[0];
  first.insert(first.end(), {"--save-state", state});
  const auto started = Clock::now();
  ASSERT_EQ(RunToEnd(QUORVEL_BATCH, first), 0);
  const long one_save = std::chrono::duration_cast<Micros>(Clock::now() - started).count();
  const long bound = std::clamp<long>(one_save * 3 / 2, 2'000, 50'000);

  std::mt19937 rng(7331);
  std::set<std::string> leftovers;
  std::string last = ReadFile(state);
  int replaced = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<std::string> args =
        versions[Between(1, static_cast<long>(versions.size()) - 1)(rng)];
    args.insert(args.end(), {"--save-state", state});
    const pid_t pid = Spawn(QUORVEL_BATCH, args);
    ASSERT_GT(pid, 0);
    KillAfter(pid, Micros(round % 5 == 0 ? 0 : Between(0, bound)(rng)));
    const std::string bytes = ReadFile(state);
    if (bytes != last) ++replaced;
    last = bytes;
    EXPECT_TRUE(complete.contains(bytes)) << "round " << round << ": " << bytes.size() << " bytes";
    EXPECT_NO_THROW(quorvel::persist::LoadState(state, quorvel::GallerySettings{}))
        << "round " << round;
    for (const auto& e : fs::directory_iterator(tmp.file("jobs"))) {
      if (e.path() == state) continue;
      EXPECT_TRUE(IsHiddenTemporary(e.path())) << "round " << round << ": " << e.path();
      leftovers.insert(e.path().string());
    }
  }
  RecordProperty("temporaries_seen_after_kills", static_cast<int>(leftovers.size()));
  RecordProperty("rounds_that_replaced_the_file", replaced);
}

// ---- configuration writes ---------------------------------------------------------------------

// Which round each of the five keys holds; the parity key only tells odd from even.
using ConfigRounds = std::array<long long, quorvel::testing::kConfigRoundKeys.size()>;

// The file after the first `done` writes of rounds first, first + 1, ... made over `before`.
ConfigRounds AfterWrites(const ConfigRounds& before, long long first, long long done) {
  ConfigRounds rounds = before;
  const long long keys = static_cast<long long>(rounds.size());
  for (long long w = 0; w < done; ++w)
    rounds[static_cast<std::size_t>(w % keys)] = first + w / keys;
  return rounds;
}

bool FileHolds(const quorvel::persist::ConfigFile& config, const ConfigRounds& rounds) {
  using quorvel::testing::kConfigRoundKeys;
  const auto& k = kConfigRoundKeys;
  return config.ReadInt(k[0].section, k[0].key, -1) == rounds[0] &&
         config.ReadInt(k[1].section, k[1].key, -1) == rounds[1] &&
         config.ReadString(k[2].section, k[2].key, "") ==
             quorvel::testing::ConfigSaveDirectory(rounds[2]) &&
         config.ReadBool(k[3].section, k[3].key, false) == (rounds[3] % 2 != 0) &&
         config.HasKey(k[3].section, k[3].key) &&
         config.ReadString(k[4].section, k[4].key, "") ==
             quorvel::testing::ConfigDefaultState(rounds[4]);
}

// Two sections, each key once, every line whole and ended.
void ExpectWellFormedText(const std::string& text, int round) {
  ASSERT_TRUE(text.ends_with("\n")) << "round " << round;
  std::map<std::string, int> keys;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line == "[WINDOW]" || line == "[DIRS]") continue;
    const std::size_t eq = line.find('=');
    ASSERT_NE(eq, std::string::npos) << "round " << round << ": " << line.substr(0, 80);
    ++keys[line.substr(0, eq)];
  }
  EXPECT_EQ(keys.size(), quorvel::testing::kConfigRoundKeys.size()) << "round " << round;
  for (const auto& [key, count] : keys) EXPECT_EQ(count, 1) << "round " << round << ": " << key;
}

TEST(KilledConfigWriter, TheFileHoldsEveryWriteUpToTheKill) {
  TempDir tmp;
  const std::string path = tmp.file("config/quorvel.cfg");
  ASSERT_EQ(RunToEnd(CONFIG_WRITER, {path, "1", "1"}), 0);
  const quorvel::persist::ConfigFile config(path);
  ConfigRounds rounds;
  rounds.fill(1);
  ASSERT_TRUE(FileHolds(config, rounds));

  std::mt19937 rng(4242);
  std::set<std::string> leftovers;
  long long writes = 0;
  for (int round = 0; round < 40; ++round) {
    const long long first = 1'000'000LL * (round + 1);
    const pid_t pid = Spawn(CONFIG_WRITER, {path, std::to_string(first), "0"});
    ASSERT_GT(pid, 0);
    KillAfter(pid, Micros(round % 8 == 0 ? 0 : Between(0, 15'000)(rng)));
    ExpectWellFormedText(ReadFile(path), round);
    // The file is the result of some number of whole writes, in order, none lost.
    const long long keys = static_cast<long long>(rounds.size());
    const long long left = config.ReadInt("WINDOW", "left", -1);
    const long long most = left >= first ? (left - first + 1) * keys : 0;
    std::optional<ConfigRounds> match;
    for (long long done = 0; done <= most && !match; ++done) {
      const ConfigRounds expected = AfterWrites(rounds, first, done);
      if (FileHolds(config, expected)) {
        match = expected;
        writes += done;
      }
    }
    ASSERT_TRUE(match.has_value()) << "round " << round << ": left=" << left << "\n"
                                   << ReadFile(path).substr(0, 300);
    rounds = *match;
    for (const auto& e : fs::directory_iterator(tmp.file("config"))) {
      if (e.path() == path) continue;
      EXPECT_TRUE(IsHiddenTemporary(e.path())) << "round " << round << ": " << e.path();
      leftovers.insert(e.path().string());
    }
  }
  RecordProperty("temporaries_seen_after_kills", static_cast<int>(leftovers.size()));
  RecordProperty("writes_completed", static_cast<int>(writes));
}

}  // namespace
