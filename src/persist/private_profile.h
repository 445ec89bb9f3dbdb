// A small initialisation-file layer: "[section]" lines and "key=value" lines, looked up
// without regard to case, changed one key at a time with every other line kept as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::persist {

// The largest initialisation file read or written. The program's own keys, at most a dozen
// numbers and paths (a path is at most 4096 bytes), take a few kilobytes; a megabyte leaves
// ample room for comments and sections a person adds, while a stray device, pipe or huge file
// at the path is never read in full at every key.
inline constexpr std::size_t kMaxProfileBytes = 1 << 20;

// The text of one initialisation file held in memory.
//
// A section is opened by a line whose first non-blank character is "[" and runs up to the
// next such line; its name is the text between "[" and "]", trimmed. A key line holds "=";
// the key is the text before the first "=", the value the text after it, both trimmed.
// Lines starting with ";" or "#" are comments. Lines before the first section, comments,
// blank lines and anything unrecognised are kept unchanged. When a section or key appears
// twice, the first one counts.
class PrivateProfile {
 public:
  PrivateProfile() = default;
  explicit PrivateProfile(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Replaces the key's value, adds the key at the end of its section, or adds the section at
  // the end of the text. Returns false, changing nothing, for a pair the text cannot hold:
  // a line break anywhere, "]" in the section, "=" in the key, or an empty key or section.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole text. Every line the text came with keeps its own line end, so a change to one
  // key never alters another; added lines end as the first line did ("\r\n" or "\n").
  std::string Text() const;

 private:
  struct Range {
    std::size_t header;  // index of the "[section]" line
    std::size_t end;     // one past the section's last line
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& range, std::string_view key) const;
  void InsertLine(std::size_t at, std::string line);

  std::vector<std::string> lines_;    // without their line ends
  std::vector<std::string> endings_;  // each line's end: "\r\n", "\n" or, last, ""
  std::string newline_ = "\n";
};

// Reads `path` into `out`. A missing file (or a missing directory on the way) is an empty
// profile and returns 0; any other failure returns its errno and leaves `out` empty. Anything
// but a regular file of at most kMaxProfileBytes is such a failure, found before reading.
int ReadPrivateProfile(const std::string& path, PrivateProfile& out);

// Writes `profile` to `path` through a temporary file and a rename, creating the missing
// directories above it first. Returns 0 or an errno (EFBIG for a text over kMaxProfileBytes).
int WritePrivateProfile(const std::string& path, const PrivateProfile& profile);

// One-key helpers over the file: the read gives nothing for a file that cannot be read; the
// write reads the file afresh, changes the one key and rewrites it, and throws
// Error("Unable to write to %s") with the path when that cannot be done (an existing file that
// cannot be read is never overwritten).
std::optional<std::string> GetPrivateProfileString(const std::string& path,
                                                   std::string_view section, std::string_view key);
void WritePrivateProfileString(const std::string& path, std::string_view section,
                               std::string_view key, std::string_view value);

}  // namespace quorvel::persist
