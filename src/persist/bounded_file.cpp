// The guarded whole-file read shared by state files and the configuration file.
#include "persist/bounded_file.h"

#include <cerrno>
#include <cstdio>

#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

// Reads at most `max_bytes` + 1 bytes, enough to tell that a file is over the bound.
int ReadUpTo(std::FILE* file, std::uint64_t max_bytes, std::string& out) {
  char buffer[65536];
  for (;;) {
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    out.append(buffer, n);
    if (out.size() > max_bytes) return EFBIG;
    if (n < sizeof buffer) return std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
  }
}

}  // namespace

int ReadBoundedFile(const std::string& path, std::uint64_t max_bytes, std::string& out) {
  out.clear();
  int error = 0;
  std::FILE* file = platform::OpenFileForReading(path, error);
  if (file == nullptr) return error;
  const auto size = platform::FileSize(path);
  error = size && *size > max_bytes ? EFBIG : ReadUpTo(file, max_bytes, out);
  std::fclose(file);
  if (error != 0) out.clear();
  return error;
}

}  // namespace quorvel::persist
