// Linux implementation of the platform file layer.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/file_system.h"

namespace quorvel::platform {
namespace {

// The only mutable global state of the layer: the test hooks (SetWriteFaultHookForTesting,
// SetReadOpenHookForTesting).
std::atomic<WriteFaultHook> write_fault_hook{nullptr};
std::atomic<ReadOpenHook> read_open_hook{nullptr};

bool StatPath(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

// The longest file name `dir` takes.
std::size_t NameMax(const std::string& dir) {
  const long max = ::pathconf(dir.empty() ? "." : dir.c_str(), _PC_NAME_MAX);
  return max > 0 ? static_cast<std::size_t>(max) : NAME_MAX;
}

// ".NAME.PID.N.RANDOM.tmp" beside `path`. NAME is cut (at a character boundary) so that the
// temporary name fits wherever the final name does.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937 rng{std::random_device{}()};
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char suffix[64];
  const int length =
      std::snprintf(suffix, sizeof suffix, ".%d.%u.%08x.tmp", static_cast<int>(::getpid()),
                    counter.fetch_add(1), static_cast<unsigned>(rng()));
  const std::size_t used = 1 + static_cast<std::size_t>(length);
  const std::size_t max = NameMax(dir);
  std::size_t keep = max > used ? std::min(name.size(), max - used) : 0;
  while (keep > 0 && keep < name.size() &&
         (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
    --keep;
  }
  name.resize(keep);
  return dir + "." + name + suffix;
}

// Digits only, without a leading zero (except "0" itself when `zero` allows it), at most `max`.
bool IsDecimal(std::string_view text, std::size_t max, bool zero) {
  if (text.empty() || text.size() > max || (text[0] == '0' && !(zero && text.size() == 1))) {
    return false;
  }
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether a process with this id exists (one of another user counts too).
bool ProcessIsAlive(long pid) {
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace

std::vector<DirectoryEntry> ListDirectory(const std::string& dir) {
  std::vector<DirectoryEntry> entries;
  DIR* handle = ::opendir(dir.empty() ? "." : dir.c_str());
  if (handle == nullptr) return entries;
  const std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
  while (const dirent* ent = ::readdir(handle)) {
    const std::string name = ent->d_name;
    if (name == "." || name == "..") continue;
    DirectoryEntry entry;
    entry.name = name;
    entry.is_hidden = name.front() == '.';
    struct stat st {};
    // The entry's own type spares a stat; links (and file systems that give no type) need one.
    if (ent->d_type == DT_REG || ent->d_type == DT_DIR) {
      entry.is_directory = ent->d_type == DT_DIR;
      entry.is_regular_file = ent->d_type == DT_REG;
    } else if (StatPath(prefix + name, st)) {
      entry.is_directory = S_ISDIR(st.st_mode);
      entry.is_regular_file = S_ISREG(st.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(handle);
  return entries;
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return StatPath(path, st) && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return StatPath(path, st);
}

std::optional<FileId> GetFileId(const std::string& path) {
  struct stat st {};
  if (!StatPath(path, st)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<FileId> GetSharedFileId(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  if (S_ISLNK(st.st_mode)) {
    if (!StatPath(path, st)) return std::nullopt;
  } else if (st.st_nlink < 2) {
    return std::nullopt;
  }
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat st {};
  if (!StatPath(path, st)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool CreateDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  return errno == EEXIST && DirectoryExists(path);
}

int CreateDirectories(const std::string& path) {
  if (DirectoryExists(path)) return 0;
  std::size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return ENOENT;  // "" or "/" that is not a directory
  const std::size_t slash = path.rfind('/', end);
  if (slash != std::string::npos && slash > 0) {
    if (const int error = CreateDirectories(path.substr(0, slash)); error != 0) return error;
  }
  if (::mkdir(path.c_str(), 0777) == 0) return 0;
  if (errno == EEXIST) return DirectoryExists(path) ? 0 : ENOTDIR;
  return errno;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = TemporaryNameFor(path);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  // A file replaced keeps its permissions; a new one has what the umask leaves of 0666.
  int error = 0;
  if (struct stat st{}; StatPath(path, st) && S_ISREG(st.st_mode)) {
    if (::fchmod(fd, st.st_mode & 0777) != 0) error = errno;
  }
  if (error == 0) error = WriteAll(fd, bytes);
  if (const WriteFaultHook hook = write_fault_hook.load(); hook != nullptr && error == 0) {
    error = hook(path);
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) ::unlink(temp.c_str());
  return error;
}

int ProbeWritableDirectory(const std::string& dir) {
  const std::string temp =
      TemporaryNameFor(dir.empty() || dir.back() == '/' ? dir + "probe" : dir + "/probe");
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  ::close(fd);
  ::unlink(temp.c_str());
  const WriteFaultHook hook = write_fault_hook.load();
  return hook != nullptr ? hook(temp) : 0;
}

std::optional<long> TemporaryFileProcess(std::string_view name) {
  constexpr std::string_view kEnd = ".tmp";
  if (name.size() < 2 || name[0] != '.' || !name.ends_with(kEnd)) return std::nullopt;
  std::string_view rest = name.substr(1, name.size() - 1 - kEnd.size());
  // From the end: RANDOM, N and PID, each after a dot; what is left is NAME.
  std::string_view fields[3];
  for (std::string_view& field : fields) {
    const std::size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    field = rest.substr(dot + 1);
    rest = rest.substr(0, dot);
  }
  const std::string_view random = fields[0], counter = fields[1], pid = fields[2];
  const bool random_ok =
      random.size() == 8 && std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
      });
  if (!random_ok || !IsDecimal(counter, 10, true) || !IsDecimal(pid, 10, false)) {
    return std::nullopt;
  }
  const long long value = std::stoll(std::string(pid));
  if (value > INT_MAX) return std::nullopt;
  return static_cast<long>(value);
}

int RemoveLeftoverTemporaries(const std::string& dir) {
  const std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
  int removed = 0;
  for (const DirectoryEntry& entry : ListDirectory(dir)) {
    const std::optional<long> pid = TemporaryFileProcess(entry.name);
    if (!pid || ProcessIsAlive(*pid)) continue;
    // Only a plain file is ours: never a link, a directory or anything else of that name.
    struct stat st {};
    const std::string path = prefix + entry.name;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

void SetWriteFaultHookForTesting(WriteFaultHook hook) { write_fault_hook.store(hook); }

void SetReadOpenHookForTesting(ReadOpenHook hook) { read_open_hook.store(hook); }

int OpenRegularFile(const std::string& path, int& error, FileStatus& status) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat st {};
  error = ::fstat(fd, &st) != 0  ? errno
          : S_ISDIR(st.st_mode)  ? EISDIR
          : !S_ISREG(st.st_mode) ? EINVAL
                                 : 0;
  if (error != 0) {
    ::close(fd);
    return -1;
  }
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.modified =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  if (const ReadOpenHook hook = read_open_hook.load(); hook != nullptr) hook(path);
  return fd;
}

void CloseFile(int fd) { ::close(fd); }

long ReadFile(int fd, void* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return static_cast<long>(n);
  }
}

std::FILE* OpenFileForReading(const std::string& path, int& error) {
  FileStatus status;
  const int fd = OpenRegularFile(path, error, status);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    error = errno;
    ::close(fd);
  }
  return file;
}

int ReadWholeFile(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
  out.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return error;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return 0;
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return pw->pw_dir;
  }
  return "/";
}

std::uint64_t PhysicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long page_size = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page_size <= 0) return 0;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size);
}

std::string CurrentDirectory() {
  std::string buffer(4096, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

std::string ErrorText(int error) { return std::strerror(error); }

}  // namespace quorvel::platform
