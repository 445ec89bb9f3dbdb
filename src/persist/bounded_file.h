// Reading one of this library's own files from a path the user gave: only a regular file,
// opened without blocking, and never more bytes than such a file can hold.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel::persist {

// Reads the whole file at `path` into `out` and returns 0, or returns an errno and leaves
// `out` empty: EISDIR for a directory, EINVAL for anything else that is not a regular file (a
// named pipe or a device is opened without blocking and never read), EFBIG for a file of more
// than `max_bytes` (found from its size before reading, and again if it grows while read), or
// the error of opening or reading it.
int ReadBoundedFile(const std::string& path, std::uint64_t max_bytes, std::string& out);

}  // namespace quorvel::persist
