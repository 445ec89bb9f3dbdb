// Paths that hold no file of ours: a device, a named pipe, a directory and files one byte over
// the largest state and configuration files are refused unread, naming the file; nor is a
// configuration file made below a regular file or a dangling link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "persist/config_file.h"
#include "persist/private_profile.h"
#include "persist/state_file.h"
#include "persist_test_support.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

namespace fs = std::filesystem;
using namespace config_keys;

TEST(BadInputTest, PathsThatHoldNoFileOfOursAreRefusedUnread) {
  // 17 header bytes, 39 integers and colours, 24 booleans, 12 strings of 501 bytes and 4 lists
  // of 4096 lines of 3073 bytes: about 48 MiB; then the web group (its tag, length, 3 integers
  // and 5 booleans) and 64 KiB for groups of later versions.
  ASSERT_EQ(MaxStateFileBytes(), 17u + 39 * 4 + 24 + 12 * (4 + 501) + 4 * (4 + 4096 * 3077) +
                                     (4 + 11 + 4 + 3 * 4 + 5) + 64 * 1024);
  testing::TempDir tmp;
  // The device through a link, so that a faulty write could only replace the link.
  fs::create_symlink("/dev/zero", tmp.file("zero"));
  ASSERT_EQ(::mkfifo(tmp.file("pipe").c_str(), 0600), 0);
  tmp.mkdir("directory");
  fs::resize_file(tmp.write("big.qvl", ""), MaxStateFileBytes() + 1);
  fs::resize_file(tmp.write("big.cfg", "[WINDOW]\nleft=1\n"), kMaxProfileBytes + 1);
  ::alarm(20);  // a read that blocks ends the test instead of hanging the suite
  for (const char* name : {"zero", "pipe", "directory", "big.qvl"}) {
    const std::string path = tmp.file(name);
    EXPECT_EQ(ErrorOf([&] { LoadState(path, GallerySettings()); }), path + " is not a state file");
  }
  tmp.write("plain", "x");
  fs::create_symlink(tmp.file("nowhere"), tmp.file("dangling"));
  for (const char* name :
       {"zero", "pipe", "directory", "big.cfg", "plain/quorvel.cfg", "dangling/a/quorvel.cfg"}) {
    const std::string path = tmp.file(name);
    const fs::file_type type = fs::symlink_status(path).type();
    ConfigFile config(path);
    EXPECT_EQ(config.ReadInt(kWindow, kLeft, 7), 7) << name;
    EXPECT_EQ(ErrorOf([&] { config.WriteInt(kWindow, kLeft, 2); }), "Unable to write to " + path);
    EXPECT_EQ(fs::symlink_status(path).type(), type) << name;
  }
  ::alarm(0);
  EXPECT_EQ(fs::file_size(tmp.file("big.cfg")), kMaxProfileBytes + 1);
  // A write that would make the file too large is refused too.
  ConfigFile config(tmp.write("quorvel.cfg", "[WINDOW]\nicon=1\n"));
  EXPECT_EQ(ErrorOf([&] { config.WriteString(kDirs, kDirectoryBox, std::string(1 << 20, 'd')); }),
            "Unable to write to " + config.path());
  EXPECT_EQ(testing::ReadFile(config.path()), "[WINDOW]\nicon=1\n");
}

}  // namespace
}  // namespace quorvel::persist
