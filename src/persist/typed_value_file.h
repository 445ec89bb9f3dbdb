// The typed-value byte stream of state files: integers, booleans, colours, strings and lists
// of lines, little-endian and without tags, plus the texts of the I/O failures around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "job/error.h"
#include "job/gallery_settings.h"

namespace quorvel::persist {

inline constexpr std::int32_t kMaxStringBytes = 501;
inline constexpr std::int32_t kMaxLineBytes = 3073;
// The format gives a list of lines no count limit; this one keeps the largest state file
// small enough to read in one piece (about 48 MiB) while no custom HTML block written by hand
// or pasted from a page comes near it: 4096 lines of up to 3073 bytes is 12 MB per list.
inline constexpr std::int32_t kMaxLines = 4096;

inline constexpr char kReadBeyondEndOfFile[] = "Read beyond end of file";

// Raised by a reader for bytes that cannot be a typed-value stream (a length outside its
// limits); the state file turns it into "%s is not a state file".
class FormatError : public Error {
 public:
  using Error::Error;
};

// Collects the bytes of one file in memory; the caller writes them out in one piece.
class TypedValueWriter {
 public:
  void Append(std::string_view bytes) { bytes_.append(bytes); }
  const std::string& bytes() const { return bytes_; }
  std::string Release() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

// Reads values from bytes held elsewhere; every read past the end throws
// Error("Read beyond end of file") and leaves the position where it was.
class TypedValueReader {
 public:
  explicit TypedValueReader(std::string_view bytes) : bytes_(bytes) {}

  std::string_view Take(std::size_t count);
  std::size_t position() const { return position_; }
  std::size_t remaining() const { return bytes_.size() - position_; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

void PutInt(TypedValueWriter& file, std::int32_t value);
void PutBool(TypedValueWriter& file, bool value);
void PutColor(TypedValueWriter& file, ColorValue value);
// Throws Error when `text` is over kMaxStringBytes; nothing is written then.
void PutStr(TypedValueWriter& file, std::string_view text);
// Throws Error when a line is over kMaxLineBytes or there are more than kMaxLines lines;
// nothing is written then.
void PutLines(TypedValueWriter& file, const Lines& lines);

std::int32_t GetInt(TypedValueReader& file);
bool GetBool(TypedValueReader& file);  // any non-zero byte is true
ColorValue GetColor(TypedValueReader& file);
// A length below 0 or over kMaxStringBytes throws FormatError.
std::string GetStr(TypedValueReader& file);
// Appends the stored lines to `lines` (the caller empties it first when it wants only the
// file's lines). A stored count of -1 or less means no lines. A count over kMaxLines throws
// FormatError, one that cannot fit in the bytes left "Read beyond end of file", both before
// anything is read; a line length outside 0..kMaxLineBytes throws FormatError. On a throw
// `lines` is unchanged.
void GetLines(TypedValueReader& file, Lines& lines);

// The user's text for an errno value: "File not found" (ENOENT, ENOTDIR), "File access
// denied" (EACCES, EPERM, EROFS), "Disk full" (ENOSPC, EDQUOT), otherwise "I/O error %d".
std::string IoErrorText(int error);

// Messages that concern one file carry its path after the text: "<text>: <path>". An empty
// path gives the text alone.
std::string WithPath(const std::string& text, const std::string& path);

}  // namespace quorvel::persist
