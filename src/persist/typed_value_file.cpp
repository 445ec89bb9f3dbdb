// Encoding and decoding of the five value kinds of the typed-value stream.
#include "persist/typed_value_file.h"

#include <cerrno>
#include <utility>

namespace quorvel::persist {
namespace {

void PutRawInt(TypedValueWriter& file, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  const char bytes[4] = {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                         static_cast<char>((bits >> 16) & 0xFF),
                         static_cast<char>((bits >> 24) & 0xFF)};
  file.Append(std::string_view(bytes, 4));
}

std::string FramedText(std::string_view text) {
  TypedValueWriter framed;
  PutRawInt(framed, static_cast<std::int32_t>(text.size()));
  framed.Append(text);
  return framed.Release();
}

// Reads a length and its bytes, refusing a length outside 0..limit before reading on.
std::string GetLimitedText(TypedValueReader& file, std::int32_t limit) {
  const std::int32_t length = GetInt(file);
  if (length < 0 || length > limit) {
    throw FormatError(FormatMessage("Invalid text length %d", std::to_string(length)));
  }
  return std::string(file.Take(static_cast<std::size_t>(length)));
}

}  // namespace

std::string_view TypedValueReader::Take(std::size_t count) {
  if (count > remaining()) throw Error(kReadBeyondEndOfFile);
  const std::string_view part = bytes_.substr(position_, count);
  position_ += count;
  return part;
}

void PutInt(TypedValueWriter& file, std::int32_t value) { PutRawInt(file, value); }

void PutBool(TypedValueWriter& file, bool value) {
  file.Append(value ? "\x01" : std::string_view("\0", 1));
}

void PutColor(TypedValueWriter& file, ColorValue value) { PutRawInt(file, value); }

void PutStr(TypedValueWriter& file, std::string_view text) {
  if (text.size() > static_cast<std::size_t>(kMaxStringBytes)) {
    throw Error("A text is longer than " + std::to_string(kMaxStringBytes) + " bytes");
  }
  file.Append(FramedText(text));
}

void PutLines(TypedValueWriter& file, const Lines& lines) {
  // Built apart first, so that a line over the limit leaves `file` as it was.
  if (lines.size() > static_cast<std::size_t>(kMaxLines)) {
    throw Error("A text has more than " + std::to_string(kMaxLines) + " lines");
  }
  TypedValueWriter block;
  PutRawInt(block, static_cast<std::int32_t>(lines.size()) - 1);
  for (const std::string& line : lines) {
    if (line.size() > static_cast<std::size_t>(kMaxLineBytes)) {
      throw Error("A line is longer than " + std::to_string(kMaxLineBytes) + " bytes");
    }
    block.Append(FramedText(line));
  }
  file.Append(block.bytes());
}

std::int32_t GetInt(TypedValueReader& file) {
  const std::string_view b = file.Take(4);
  const std::uint32_t bits = static_cast<std::uint32_t>(static_cast<unsigned char>(b[0])) |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(b[1])) << 8 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(b[2])) << 16 |
                             static_cast<std::uint32_t>(static_cast<unsigned char>(b[3])) << 24;
  return static_cast<std::int32_t>(bits);
}

bool GetBool(TypedValueReader& file) { return file.Take(1)[0] != 0; }

ColorValue GetColor(TypedValueReader& file) { return GetInt(file); }

std::string GetStr(TypedValueReader& file) { return GetLimitedText(file, kMaxStringBytes); }

void GetLines(TypedValueReader& file, Lines& lines) {
  const std::int32_t last = GetInt(file);
  if (last <= -1) return;
  if (last >= kMaxLines) {
    throw FormatError(FormatMessage("Invalid line count %d", std::to_string(last + 1LL)));
  }
  const std::size_t count = static_cast<std::size_t>(last) + 1;
  // Every line needs at least its 4 length bytes: a larger count cannot be satisfied, and
  // checking it here keeps a corrupt count from driving a long loop.
  if (count > file.remaining() / 4) throw Error(kReadBeyondEndOfFile);
  Lines read;
  read.reserve(count);
  for (std::size_t i = 0; i < count; ++i) read.push_back(GetLimitedText(file, kMaxLineBytes));
  lines.insert(lines.end(), std::make_move_iterator(read.begin()),
               std::make_move_iterator(read.end()));
}

std::string IoErrorText(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
      return "Disk full";
    default:
      return FormatMessage("I/O error %d", std::to_string(error));
  }
}

std::string WithPath(const std::string& text, const std::string& path) {
  return path.empty() ? text : text + ": " + path;
}

}  // namespace quorvel::persist
