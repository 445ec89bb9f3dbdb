// The small layer for what the operating system gives the core: directory enumeration,
// existence tests, directory creation, file sizes and times, and atomic file writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::platform {

struct DirectoryEntry {
  std::string name;
  bool is_directory = false;  // after following a symbolic link
  bool is_regular_file = false;
  bool is_hidden = false;  // names beginning with "."
};

// Identity of a directory on disk, to recognise one already entered through a link.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileId&, const FileId&) = default;
};

// Entries of `dir` other than "." and "..", in the file system's order; empty when the
// directory cannot be read.
std::vector<DirectoryEntry> ListDirectory(const std::string& dir);

bool DirectoryExists(const std::string& path);
bool RegularFileExists(const std::string& path);
bool PathExists(const std::string& path);
std::optional<FileId> GetFileId(const std::string& path);
// The identity of what `path` names when another name may lead to the same file: a symbolic
// link (the file it leads to) or a file with more than one hard link. Nothing for a file of one
// name, or when nothing is there.
std::optional<FileId> GetSharedFileId(const std::string& path);
std::optional<std::uint64_t> FileSize(const std::string& path);

// Creates one directory level; an existing directory counts as success.
bool CreateDirectory(const std::string& path);
// Creates a directory and every missing parent; returns 0 (also when it exists) or an errno.
[[nodiscard]] int CreateDirectories(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a failure
// never leaves a truncated file and never destroys the previous one. The temporary file is
// named ".NAME.PID.N.RANDOM.tmp" (NAME shortened so that it fits wherever `path` fits). A file
// replaced keeps its permission bits; a new one gets 0666 less the umask. Returns 0 or an errno.
[[nodiscard]] int WriteFileAtomically(const std::string& path, std::string_view bytes);

// The process id in a name of the form of those temporary files, or nothing when `name` does
// not have exactly that form.
std::optional<long> TemporaryFileProcess(std::string_view name);

// Removes from `dir` the plain files named as those temporary files whose process is no longer
// alive (left by a run that was killed); nothing else. Returns how many were removed.
int RemoveLeftoverTemporaries(const std::string& dir);

// Creates and removes a hidden temporary file in `dir`, as an atomic write would, to learn
// before a run whether its output can be written there. Returns 0 or an errno; asks the fault
// hook below like a write does.
[[nodiscard]] int ProbeWritableDirectory(const std::string& dir);

// Test-only fault injection for WriteFileAtomically: while a hook is set, every write asks it,
// after the bytes have gone to the temporary file and before the rename, for an errno with
// which to fail (0 lets the write go on). A failed write then cleans up exactly as a real one,
// so tests can stage a full disk (ENOSPC) or a read-only directory (EROFS) for chosen paths.
// Pass nullptr to remove it. The program itself never sets one.
using WriteFaultHook = int (*)(const std::string& path);
void SetWriteFaultHookForTesting(WriteFaultHook hook);

// Test-only observation of reading: while a hook is set, OpenRegularFile (and so
// OpenFileForReading), through which every decoder and header reader opens a photo, tells it the
// path of each file it opens, on the thread that opens it; tests count the decodes of a run with
// it. Pass nullptr to remove it. The program itself never sets one.
using ReadOpenHook = void (*)(const std::string& path);
void SetReadOpenHookForTesting(ReadOpenHook hook);

// Opens a regular file for reading as a stdio stream, without blocking on a FIFO or device;
// nullptr with `error` set (EISDIR for a directory, EINVAL for anything else not a file).
std::FILE* OpenFileForReading(const std::string& path, int& error);

struct FileStatus {
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since the epoch
};

// The same check as OpenFileForReading, giving a plain descriptor (close it with CloseFile) and
// the file's size and time from the one open; -1 with `error` set.
int OpenRegularFile(const std::string& path, int& error, FileStatus& status);
void CloseFile(int fd);
// Reads up to `size` bytes; the count read (0 at the end), or -1 on an error.
long ReadFile(int fd, void* buffer, std::size_t size);

// Reads a whole file; returns an errno on failure.
[[nodiscard]] int ReadWholeFile(const std::string& path, std::string& out);

std::string HomeDirectory();
// The machine's physical memory in bytes, 0 when it cannot be told.
std::uint64_t PhysicalMemoryBytes();
// The working directory; empty when it cannot be read.
std::string CurrentDirectory();

// Text of an errno value.
std::string ErrorText(int error);

}  // namespace quorvel::platform
