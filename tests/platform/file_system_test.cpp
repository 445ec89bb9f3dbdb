// The platform file layer: atomic writes never leave a truncated file or lose the old one.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace quorvel::platform {
namespace {

using quorvel::testing::Files;
using quorvel::testing::TempDir;

TEST(FileSystemTest, WritesAtomicallyAndKeepsThePreviousFileOnFailure) {
  TempDir tmp;
  const std::string target = tmp.file("page.html");
  ASSERT_EQ(WriteFileAtomically(target, "old"), 0);
  ASSERT_EQ(WriteFileAtomically(target, std::string("new\0bytes", 9)), 0);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0044, 0u) << "readable by the web server, as umask allows";
  EXPECT_NE(WriteFileAtomically(tmp.file("missing/dir/x"), "a"), 0);
  tmp.write("dir/keep", "kept");
  EXPECT_NE(WriteFileAtomically(tmp.file("dir"), "a"), 0);
  EXPECT_EQ(ProbeWritableDirectory(tmp.path()), 0);
  EXPECT_EQ(ProbeWritableDirectory(tmp.file("page.html")), ENOTDIR);
  EXPECT_EQ(Files(tmp.path()),
            (std::map<std::string, std::string>{{"dir/keep", "kept"},
                                                {"page.html", std::string("new\0bytes", 9)}}));
}

TEST(FileSystemTest, DirectoriesWithTheirParentsAndFileTimes) {
  TempDir tmp;
  tmp.write("a.jpg", "12345");
  EXPECT_FALSE(CreateDirectory(tmp.file("x/y")));
  EXPECT_EQ(CreateDirectories(tmp.file("x/y//z/")), 0);
  EXPECT_TRUE(DirectoryExists(tmp.file("x/y/z")));
  EXPECT_EQ(CreateDirectories(tmp.file("a.jpg/sub")), ENOTDIR);
  // Times are nanoseconds since the epoch, as update mode compares them with sources.
  int error = 0;
  FileStatus status;
  const int fd = OpenRegularFile(tmp.file("a.jpg"), error, status);
  ASSERT_GE(fd, 0);
  CloseFile(fd);
  EXPECT_EQ(status.size, 5u);
  EXPECT_GT(status.modified, 1'500'000'000'000'000'000);
  EXPECT_EQ(OpenRegularFile(tmp.file("x"), error, status), -1);
  EXPECT_EQ(error, EISDIR);
}

}  // namespace
}  // namespace quorvel::platform
