// The platform file layer: atomic writes never leave a truncated file or lose the old one.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace quorvel::platform {
namespace {

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;

size_t EntryCount(const std::string& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(WriteFileAtomicallyTest, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  TempDir tmp;
  const std::string target = tmp.file("page.html");
  ASSERT_EQ(WriteFileAtomically(target, "old"), 0);
  ASSERT_EQ(WriteFileAtomically(target, std::string("new\0bytes", 9)), 0);
  EXPECT_EQ(ReadFile(target), std::string("new\0bytes", 9));
  EXPECT_EQ(EntryCount(tmp.path()), 1u);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u) << "readable by the web server, as umask allows";
}

TEST(WriteFileAtomicallyTest, AFailureKeepsThePreviousFile) {
  TempDir tmp;
  EXPECT_NE(WriteFileAtomically(tmp.file("missing/dir/x"), "a"), 0);
  tmp.mkdir("target-is-a-dir");
  tmp.write("target-is-a-dir/keep", "kept");
  EXPECT_NE(WriteFileAtomically(tmp.file("target-is-a-dir"), "a"), 0);
  EXPECT_EQ(ReadFile(tmp.file("target-is-a-dir/keep")), "kept");
  EXPECT_EQ(EntryCount(tmp.path()), 1u) << "temporary file left behind";
}

TEST(FileSystemTest, ExistenceSizesAndDirectories) {
  TempDir tmp;
  tmp.write("a.jpg", "12345");
  EXPECT_TRUE(RegularFileExists(tmp.file("a.jpg")));
  EXPECT_FALSE(DirectoryExists(tmp.file("a.jpg")));
  EXPECT_EQ(FileSize(tmp.file("a.jpg")).value_or(0), 5u);
  EXPECT_FALSE(FileSize(tmp.file("none")).has_value());
  EXPECT_TRUE(CreateDirectory(tmp.file("d")));
  EXPECT_TRUE(CreateDirectory(tmp.file("d")));
  EXPECT_FALSE(CreateDirectory(tmp.file("x/y")));
  EXPECT_FALSE(CreateDirectory(tmp.file("a.jpg")));
  EXPECT_EQ(CreateDirectories(tmp.file("x/y//z/")), 0);
  EXPECT_TRUE(DirectoryExists(tmp.file("x/y/z")));
  EXPECT_EQ(CreateDirectories(tmp.file("x/y/z")), 0);
  EXPECT_EQ(CreateDirectories(tmp.file("a.jpg/sub")), ENOTDIR);
  EXPECT_EQ(CreateDirectories(tmp.file("a.jpg")), ENOTDIR);
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(tmp.file("a.jpg"), bytes), 0);
  EXPECT_EQ(bytes, "12345");
  EXPECT_NE(ReadWholeFile(tmp.file("d"), bytes), 0);
}

}  // namespace
}  // namespace quorvel::platform
