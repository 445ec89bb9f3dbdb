// The platform file layer: atomic writes never leave a truncated file or lose the old one.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::platform {
namespace {

using quorvel::testing::Files;
using quorvel::testing::ReadFile;
using quorvel::testing::ReplayGolden;
using quorvel::testing::TempDir;

TEST(FileSystemTest, WritesAtomicallyAndKeepsThePreviousFileOnFailure) {
  TempDir tmp;
  const std::string target = tmp.file("page.html");
  ASSERT_EQ(WriteFileAtomically(target, "old"), 0);
  ASSERT_EQ(WriteFileAtomically(target, std::string("new\0bytes", 9)), 0);
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
  // What a run left, its process gone (no process id is that large), and what is no leftover are
  // told apart where a run writes (see LeftoverTest).
  tmp.write("x/.a.999999999.0.00000000.tmp", "left");
  EXPECT_EQ(RemoveLeftoverTemporaries(tmp.file("x")), 1);
  EXPECT_EQ(RemoveLeftoverTemporaries(tmp.file("missing")), 0);
}

// What a write leaves in the directory while its temporary file is there: the hook runs between
// the write and the rename.
std::vector<std::string> names_during_write;
int RecordNames(const std::string& path) {
  names_during_write.clear();
  for (const DirectoryEntry& e : ListDirectory(path.substr(0, path.rfind('/')))) {
    names_during_write.push_back(e.name);
  }
  return 0;
}

// A name is 255 bytes at most; any name that fits is written, its temporary name fitting too
// and cut at a character boundary.
TEST(FileSystemTest, EveryNameThatFitsIsWritten) {
  TempDir tmp;
  std::string accents;  // 240 bytes of two-byte letters: one of the two cases cuts within one
  for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";
  const std::pair<std::string, int> cases[] = {
      {std::string(230, 'a') + "_thumb.jpg", 0},
      {std::string(236, 't') + ".jpg", 0},
      {std::string(255, 'n'), 0},
      {std::string(256, 'n'), ENAMETOOLONG},
      {"x" + accents + ".jpg", 0},
      {"xy" + accents + ".jpg", 0},
  };
  SetWriteFaultHookForTesting(&RecordNames);
  for (const auto& [name, error] : cases) {
    names_during_write.clear();
    EXPECT_EQ(WriteFileAtomically(tmp.file(name), "bytes"), error) << name.size();
    if (error != 0) continue;
    ASSERT_EQ(names_during_write.size(), 1u) << "only the temporary file";
    for (const std::string& seen : names_during_write) {
      EXPECT_LE(seen.size(), 255u);
      EXPECT_EQ(TemporaryFileProcess(seen), static_cast<long>(::getpid())) << seen;
      // NAME: what is left without the leading dot and the four fields after it.
      std::string kept = seen.substr(1);
      for (int field = 0; field < 4; ++field) kept.resize(kept.rfind('.'));
      EXPECT_GE(kept.size(), 200u);
      EXPECT_TRUE(name.starts_with(kept)) << seen;
      if (kept.size() < name.size()) {
        EXPECT_NE(static_cast<unsigned char>(name[kept.size()]) & 0xC0, 0x80) << "a cut letter";
      }
    }
    std::filesystem::remove(tmp.file(name));
  }
  SetWriteFaultHookForTesting(nullptr);
  EXPECT_TRUE(Files(tmp.path()).empty());
}

// The process of a temporary file's name, told by its exact form.
TEST(FileSystemTest, TemporaryNamesAreToldByTheirExactForm) {
  EXPECT_EQ(ReplayGolden("platform/temporary_names.txt",
                         [](const std::string& name) {
                           const std::optional<long> pid = TemporaryFileProcess(name);
                           return pid ? std::to_string(*pid) : "none";
                         }),
            "");
}

// A replaced file keeps its permission bits whatever the umask; a new one gets 0666 less it.
TEST(FileSystemTest, ReplacedFilesKeepTheirModes) {
  TempDir tmp;
  // The umask, the mode of the file replaced (-1: none yet) and the mode written.
  const std::tuple<mode_t, int, mode_t> cases[] = {
      {077, 0644, 0644}, {022, 0600, 0600}, {077, 0755, 0755}, {022, 0444, 0444},
      {022, -1, 0644},   {077, -1, 0600},   {002, -1, 0664}};
  const mode_t saved = ::umask(022);
  int k = 0;
  for (const auto& [umask, existing, expected] : cases) {
    const std::string path = tmp.file("page" + std::to_string(k++) + ".html");
    if (existing >= 0) {
      tmp.write(path.substr(tmp.path().size() + 1), "old");
      ::chmod(path.c_str(), static_cast<mode_t>(existing));
    }
    ::umask(umask);
    EXPECT_EQ(WriteFileAtomically(path, "new"), 0);
    ::umask(022);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, expected) << path;
    EXPECT_EQ(ReadFile(path), "new");
  }
  ::umask(saved);
}

}  // namespace
}  // namespace quorvel::platform
