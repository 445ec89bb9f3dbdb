// The guarded whole-file read shared by state files and the configuration file.
#include "persist/bounded_file.h"

#include <cerrno>

#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

// Reads at most `max_bytes` + 1 bytes, enough to tell that a file is over the bound.
int ReadUpTo(int fd, std::uint64_t max_bytes, std::string& out) {
  char buffer[65536];
  for (;;) {
    errno = 0;
    const long n = platform::ReadFile(fd, buffer, sizeof buffer);
    if (n < 0) return errno != 0 ? errno : EIO;
    if (n == 0) return 0;
    out.append(buffer, static_cast<std::size_t>(n));
    if (out.size() > max_bytes) return EFBIG;
  }
}

}  // namespace

int ReadBoundedFile(const std::string& path, std::uint64_t max_bytes, std::string& out) {
  out.clear();
  int error = 0;
  platform::FileStatus status;
  const int fd = platform::OpenRegularFile(path, error, status);
  if (fd < 0) return error;
  // The size comes from the open file itself, not from a second look at the path.
  error = status.size > max_bytes ? EFBIG : ReadUpTo(fd, max_bytes, out);
  platform::CloseFile(fd);
  if (error != 0) out.clear();
  return error;
}

}  // namespace quorvel::persist
