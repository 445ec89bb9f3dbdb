// The platform file layer: atomic writes never leave a truncated file or lose the old one.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::platform {
namespace {

using quorvel::testing::Files;
using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;

// Steps on files in a temporary directory, each giving 0 or what failed: "write NAME TEXT"
// writes atomically (under "umask MASK" from then on), "chmod NAME MODE", "mode NAME",
// "probe NAME" (a writable directory), "mkdir NAME" (without parents), "mkdirs NAME", "open NAME"
// (a regular file: its size, its time in nanoseconds since 2017), "leftovers NAME" (how many
// were removed), "files" (every file with its bytes), "process NAME" (of a temporary's name).
std::string Step(const TempDir& tmp, const testing::TranscriptStep& step) {
  const std::string& command = step.command;
  const std::string name = step.words.empty() ? "" : step.words[0];
  const std::string text = step.rest.substr(std::min(name.size() + 1, step.rest.size()));
  const std::string path = tmp.file(name);
  const auto result = [](int error) { return error == 0 ? "0" : ErrorText(error); };
  if (command == "write") return result(WriteFileAtomically(path, text));
  if (command == "umask") return ::umask(std::stoi(name, nullptr, 8)), "0";
  if (command == "chmod") return result(::chmod(path.c_str(), std::stoi(text, nullptr, 8)));
  if (command == "probe") return result(ProbeWritableDirectory(path));
  if (command == "mkdir") return CreateDirectory(path) ? "0" : "failed";
  if (command == "mkdirs") return result(CreateDirectories(path));
  if (command == "leftovers") return std::to_string(RemoveLeftoverTemporaries(path));
  if (command == "process") {
    const std::optional<long> pid = TemporaryFileProcess(step.rest);
    return pid ? std::to_string(*pid) : "none";
  }
  if (command == "mode") {
    struct stat st {};
    std::ostringstream mode;
    mode << std::oct << (::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0);
    return mode.str();
  }
  if (command == "open") {
    int error = 0;
    FileStatus status;
    const int fd = OpenRegularFile(path, error, status);
    if (fd < 0) return result(error);
    CloseFile(fd);
    return "size " + std::to_string(status.size) +
           (status.modified > 1'500'000'000'000'000'000 ? ", modified since 2017" : "");
  }
  std::string files;
  for (const auto& [file, bytes] : Files(tmp.path()))
    files += file + ": " + testing::Visible(bytes) + "\n";
  return files;
}

TEST(FileSystemTest, StepsGiveTheGoldenTranscript) {
  TempDir tmp;
  const mode_t saved = ::umask(022);
  const auto step = [&](const auto& s) { return Step(tmp, s); };
  EXPECT_EQ(testing::ReplayGolden("platform/file_system.txt", step), "");
  EXPECT_EQ(testing::ReplayGolden("platform/temporary_names.txt", step), "");
  ::umask(saved);
}

// A name is 255 bytes at most; any name that fits is written, its temporary name (seen by the
// hook, which runs between the write and the rename) fitting too and cut at a character
// boundary: NAME is what is left of it without the leading dot and the four fields after it.
std::string temporary;
int RecordTemporary(const std::string& path) {
  const std::vector<DirectoryEntry> entries = ListDirectory(path.substr(0, path.rfind('/')));
  temporary = entries.size() == 1 ? entries[0].name : "more than the temporary file";
  return 0;
}

TEST(FileSystemTest, EveryNameThatFitsIsWritten) {
  TempDir tmp;
  std::string accents;  // 240 bytes of two-byte letters: one of the two cases cuts within one
  for (int i = 0; i < 120; ++i) accents += "\xC3\xA9";
  const std::pair<std::string, int> cases[] = {{std::string(230, 'a') + "_thumb.jpg", 0},
                                               {std::string(236, 't') + ".jpg", 0},
                                               {std::string(255, 'n'), 0},
                                               {std::string(256, 'n'), ENAMETOOLONG},
                                               {"x" + accents + ".jpg", 0},
                                               {"xy" + accents + ".jpg", 0}};
  SetWriteFaultHookForTesting(&RecordTemporary);
  for (const auto& [name, error] : cases) {
    EXPECT_EQ(WriteFileAtomically(tmp.file(name), "bytes"), error) << name.size();
    if (error != 0) continue;
    EXPECT_LE(temporary.size(), 255u);
    EXPECT_EQ(TemporaryFileProcess(temporary), static_cast<long>(::getpid())) << temporary;
    std::string kept = temporary.substr(1);
    for (int field = 0; field < 4; ++field) kept.resize(kept.rfind('.'));
    EXPECT_GE(kept.size(), 200u);
    EXPECT_TRUE(name.starts_with(kept)) << temporary;
    EXPECT_TRUE(kept.size() == name.size() ||
                (static_cast<unsigned char>(name[kept.size()]) & 0xC0) != 0x80)
        << "a cut letter";
    std::filesystem::remove(tmp.file(name));
  }
  SetWriteFaultHookForTesting(nullptr);
  EXPECT_TRUE(Files(tmp.path()).empty());
}

}  // namespace
}  // namespace quorvel::platform
