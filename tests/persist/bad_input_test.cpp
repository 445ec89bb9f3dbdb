// Paths that cannot hold one of our files: a device, a named pipe, a directory and a file one
// byte larger than the largest state or configuration file are refused unread, naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "job/error.h"
#include "persist/config_file.h"
#include "persist/private_profile.h"
#include "persist/state_file.h"
#include "persist/typed_value_file.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

struct BadFile {
  const char* name;
  std::string (*make)(const TempDir& tmp, std::uint64_t bound);
};

// The device is reached through a link, so that a faulty write could only replace the link.
const BadFile kBadFiles[] = {
    {"device", [](const TempDir& t, std::uint64_t) { return t.file("zero"); }},
    {"pipe", [](const TempDir& t, std::uint64_t) { return t.file("pipe"); }},
    {"directory", [](const TempDir& t, std::uint64_t) { return t.mkdir("dir"); }},
    {"oversized", [](const TempDir& t, std::uint64_t bound) {
       const std::string path = t.write("big", "");
       return ::truncate(path.c_str(), static_cast<off_t>(bound + 1)) == 0 ? path : "";
     }}};

class BadFileTest : public ::testing::TestWithParam<BadFile> {
 protected:
  BadFileTest() {
    fs::create_symlink("/dev/zero", tmp_.file("zero"));
    ::mkfifo(tmp_.file("pipe").c_str(), 0600);
    ::alarm(20);  // a read that blocks ends the test instead of hanging the suite
  }
  ~BadFileTest() override { ::alarm(0); }
  TempDir tmp_;
};

template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_P(BadFileTest, IsNotAStateFile) {
  const std::string path = GetParam().make(tmp_, MaxStateFileBytes());
  EXPECT_EQ(ErrorOf([&] { LoadState(path, GallerySettings()); }), path + " is not a state file");
}

TEST_P(BadFileTest, ConfigurationReadsTheDefaultsAndIsNotWritten) {
  const std::string path = GetParam().make(tmp_, kMaxProfileBytes);
  const auto type = fs::symlink_status(path).type();
  const auto size = type == fs::file_type::regular ? fs::file_size(path) : 0;
  ConfigFile config(path);
  EXPECT_EQ(config.ReadInt(config_keys::kWindow, config_keys::kLeft, 7), 7);
  EXPECT_EQ(ErrorOf([&] { config.WriteInt(config_keys::kWindow, config_keys::kLeft, 1); }),
            "Unable to write to " + path);
  EXPECT_EQ(fs::symlink_status(path).type(), type);
  EXPECT_EQ(type == fs::file_type::regular ? fs::file_size(path) : 0, size);
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileBoundTest, TheLargestStateFileHoldsEveryValueAtItsLargest) {
  // 17 header bytes, 39 integers and colours, 24 booleans, 12 strings of 501 bytes and
  // 4 lists of 4096 lines of 3073 bytes: about 48 MiB.
  EXPECT_EQ(MaxStateFileBytes(), 17u + 39 * 4 + 24 + 12 * (4 + 501) + 4 * (4 + 4096 * 3077));
}

TEST(FileBoundTest, AConfigurationWriteOverTheBoundIsRefused) {
  TempDir tmp;
  ConfigFile config(tmp.write("quorvel.cfg", "[WINDOW]\nicon=1\n"));
  EXPECT_THROW(config.WriteString(config_keys::kDirs, config_keys::kDirectoryBox,
                                  std::string(kMaxProfileBytes, 'd')),
               Error);
  EXPECT_EQ(testing::ReadFile(config.path()), "[WINDOW]\nicon=1\n");
}

}  // namespace
}  // namespace quorvel::persist
