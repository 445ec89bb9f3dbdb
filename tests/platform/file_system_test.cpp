// The platform file layer: atomic writes never leave a truncated file or lose the old one.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

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

// A process id above the system's largest is never alive.
long DeadProcess() {
  std::ifstream in("/proc/sys/kernel/pid_max");
  long max = 4194304;
  in >> max;
  return max;
}

TEST(FileSystemTest, LeftoversOfDeadRunsAloneAreRemoved) {
  TempDir tmp;
  const std::string dead = std::to_string(DeadProcess());
  const std::string alive = std::to_string(::getpid());
  const std::string removed[] = {".index.html." + dead + ".0.0a1b2c3d.tmp",
                                 ".p_thumb.jpg." + dead + ".17.ffffffff.tmp"};
  const std::string kept[] = {".index.html." + alive + ".0.0a1b2c3d.tmp",
                              ".index.html.1.0.0a1b2c3d.tmp",  // init
                              "index.html." + dead + ".0.0a1b2c3d.tmp",
                              ".index.html." + dead + ".0.0a1b2c3d.tmp.bak",
                              ".index.html." + dead + ".0.0A1B2C3D.tmp",
                              "photo.jpg"};
  for (const std::string& name : removed) tmp.write(name, "left");
  for (const std::string& name : kept) tmp.write(name, "kept");
  // A directory or a link of that form is no file of a run: neither is touched.
  tmp.mkdir(".d." + dead + ".0.00000000.tmp/inside");
  std::filesystem::create_symlink(tmp.file("photo.jpg"),
                                  tmp.file(".l." + dead + ".0.00000000.tmp"));
  EXPECT_EQ(RemoveLeftoverTemporaries(tmp.path()), 2);
  std::map<std::string, std::string> expected;
  for (const std::string& name : kept) expected[name] = "kept";
  expected[".d." + dead + ".0.00000000.tmp/inside"];
  EXPECT_EQ(Files(tmp.path()).size(), expected.size() - 1);
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(tmp.file(name)), "kept");
  EXPECT_TRUE(std::filesystem::is_symlink(tmp.file(".l." + dead + ".0.00000000.tmp")));
  EXPECT_TRUE(DirectoryExists(tmp.file(".d." + dead + ".0.00000000.tmp/inside")));
  EXPECT_EQ(RemoveLeftoverTemporaries(tmp.file("missing")), 0);
}

// A replaced file keeps its permission bits whatever the umask; a new one gets 0666 less it.
TEST(FileSystemTest, ReplacedFilesKeepTheirModes) {
  TempDir tmp;
  struct Case {
    mode_t umask;
    int existing;  // -1: no file yet
    mode_t expected;
  };
  const Case cases[] = {{077, 0644, 0644}, {022, 0600, 0600}, {077, 0755, 0755}, {022, 0444, 0444},
                        {022, -1, 0644},   {077, -1, 0600},   {002, -1, 0664}};
  const mode_t saved = ::umask(022);
  int k = 0;
  for (const Case& c : cases) {
    const std::string path = tmp.file("page" + std::to_string(k++) + ".html");
    if (c.existing >= 0) {
      tmp.write(path.substr(tmp.path().size() + 1), "old");
      ::chmod(path.c_str(), static_cast<mode_t>(c.existing));
    }
    ::umask(c.umask);
    EXPECT_EQ(WriteFileAtomically(path, "new"), 0);
    ::umask(022);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.expected) << path;
    EXPECT_EQ(ReadFile(path), "new");
  }
  ::umask(saved);
}

}  // namespace
}  // namespace quorvel::platform
