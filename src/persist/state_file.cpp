// Saving and loading state files: the header, then the 79 stored settings in the order of the
// stored-settings table, which the writer and the reader both walk.
#include "persist/state_file.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "job/error.h"
#include "job/settings_table.h"
#include "persist/bounded_file.h"
#include "persist/typed_value_file.h"
#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

constexpr std::string_view kSignature = "QUORVELANDISCOPE";
constexpr char kVersion = 1;

std::string Count(std::int32_t n) { return std::to_string(n); }

class Encoder {
 public:
  template <typename T>
  void Int(const std::string&, const T& value) {
    PutInt(out_, static_cast<std::int32_t>(value));
  }
  template <typename T, typename Items>
  void Index(const std::string&, const T& value, const Items&) {
    PutInt(out_, static_cast<std::int32_t>(value));
  }
  void Bool(const std::string&, bool value) { PutBool(out_, value); }
  void Color(const std::string&, ColorValue value) { PutColor(out_, value); }
  void Str(const std::string&, const std::string& text, const std::string& label) {
    if (text.size() > static_cast<std::size_t>(kMaxStringBytes)) {
      throw Error("Cannot save the state: " + label + " is longer than " + Count(kMaxStringBytes) +
                  " bytes");
    }
    PutStr(out_, text);
  }
  void Lines(const std::string&, const quorvel::Lines& lines, const std::string& label) {
    if (lines.size() > static_cast<std::size_t>(kMaxLines)) {
      throw Error("Cannot save the state: " + label + " has more than " + Count(kMaxLines) +
                  " lines");
    }
    for (const std::string& line : lines) {
      if (line.size() > static_cast<std::size_t>(kMaxLineBytes)) {
        throw Error("Cannot save the state: a line of " + label + " is longer than " +
                    Count(kMaxLineBytes) + " bytes");
      }
    }
    PutLines(out_, lines);
  }
  TypedValueWriter& out() { return out_; }

 private:
  TypedValueWriter out_;
};

// Adds up the largest size each value can take.
class SizeBound {
 public:
  template <typename T>
  void Int(const std::string&, const T&) {
    bytes_ += 4;
  }
  template <typename T, typename Items>
  void Index(const std::string&, const T&, const Items&) {
    bytes_ += 4;
  }
  void Bool(const std::string&, bool) { bytes_ += 1; }
  void Color(const std::string&, ColorValue) { bytes_ += 4; }
  void Str(const std::string&, const std::string&, const std::string&) {
    bytes_ += 4 + kMaxStringBytes;
  }
  void Lines(const std::string&, const quorvel::Lines&, const std::string&) {
    bytes_ += 4 + std::uint64_t{kMaxLines} * (4 + kMaxLineBytes);
  }
  std::uint64_t bytes() const { return bytes_; }

 private:
  std::uint64_t bytes_ = 0;
};

class Decoder {
 public:
  explicit Decoder(TypedValueReader& in) : in_(in) {}

  // Assigning through the field's own type clamps ranged values into their range.
  template <typename T>
  void Int(const std::string&, T& field) {
    field = GetInt(in_);
  }
  template <typename T, typename Items>
  void Index(const std::string&, T& field, const Items&) {
    field = GetInt(in_);
  }
  void Bool(const std::string&, bool& field) { field = GetBool(in_); }
  void Color(const std::string&, ColorValue& field) { field = GetColor(in_); }
  void Str(const std::string&, std::string& field, const std::string&) { field = GetStr(in_); }
  void Lines(const std::string&, quorvel::Lines& field, const std::string&) {
    quorvel::Lines lines;
    GetLines(in_, lines);
    field = std::move(lines);
  }

 private:
  TypedValueReader& in_;
};

std::string NotAStateFile(const std::string& path) {
  return FormatMessage("%s is not a state file", path.empty() ? std::string("The file") : path);
}

// The signature must be there; the version byte is read past unexamined, so files of later
// versions that kept the layout still load.
void CheckHeader(std::string_view bytes, const std::string& path) {
  const std::size_t present = std::min(bytes.size(), kSignature.size());
  if (bytes.substr(0, present) != kSignature.substr(0, present)) throw Error(NotAStateFile(path));
  if (bytes.size() <= kSignature.size()) throw Error(WithPath(kReadBeyondEndOfFile, path));
}

// Settings added after the classic ones follow the 79th value in groups: the group's tag as a
// string, its length in bytes as an integer, then its values. A reader of the classic values
// alone stops before them; this one skips groups it does not know and reads a group shorter or
// longer than its own as far as both go. A group is written only when one of its settings
// differs from its default, so files of classic settings keep their classic bytes.
constexpr char kWebGroup[] = "WebSettings";
// Room for groups that later versions may add.
constexpr std::uint64_t kLaterGroupBytes = 64 * 1024;

void EncodeGroups(const GallerySettings& settings, TypedValueWriter& out) {
  if (settings.Web == WebSettings{}) return;
  Encoder group;
  VisitWebSettings(settings, group);
  PutStr(out, kWebGroup);
  PutInt(out, static_cast<std::int32_t>(group.out().bytes().size()));
  out.Append(group.out().bytes());
}

void DecodeGroups(TypedValueReader& reader, GallerySettings& loaded) {
  loaded.Web = WebSettings{};
  try {
    while (reader.remaining() > 0) {
      const std::string tag = GetStr(reader);
      const std::int32_t length = GetInt(reader);
      if (length < 0) return;
      TypedValueReader group(reader.Take(static_cast<std::size_t>(length)));
      if (tag != kWebGroup) continue;
      Decoder decoder(group);
      VisitWebSettings(loaded, decoder);
    }
  } catch (const Error&) {
    // Bytes after the classic values that are no group, or a group cut short, are passed over
    // as a classic reader passes over them; what was read of a group stays.
  }
}

}  // namespace

std::uint64_t MaxStateFileBytes() {
  const GallerySettings any;
  SizeBound bound;
  VisitStoredSettings(any, bound);
  SizeBound web;
  VisitWebSettings(any, web);
  const std::uint64_t web_group = 4 + sizeof kWebGroup - 1 + 4 + web.bytes();
  return kSignature.size() + 1 + bound.bytes() + web_group + kLaterGroupBytes;
}

std::string EncodeState(const GallerySettings& settings) {
  Encoder encoder;
  encoder.out().Append(kSignature);
  encoder.out().Append(std::string_view(&kVersion, 1));
  VisitStoredSettings(settings, encoder);
  EncodeGroups(settings, encoder.out());
  return encoder.out().Release();
}

GallerySettings DecodeState(std::string_view bytes, const GallerySettings& current,
                            const std::string& path_for_messages) {
  CheckHeader(bytes, path_for_messages);
  TypedValueReader reader(bytes.substr(kSignature.size() + 1));
  // Everything is read into a copy: the caller's settings change only for a complete file.
  GallerySettings loaded = current;
  Decoder decoder(reader);
  try {
    VisitStoredSettings(loaded, decoder);
  } catch (const FormatError&) {
    throw Error(NotAStateFile(path_for_messages));
  } catch (const Error& e) {
    throw Error(WithPath(e.what(), path_for_messages));
  }
  DecodeGroups(reader, loaded);
  loaded.Output.Directories = current.Output.Directories;
  return loaded;
}

void SaveState(const GallerySettings& settings, const std::string& path) {
  const std::string bytes = EncodeState(settings);
  if (const int error = platform::WriteFileAtomically(path, bytes); error != 0) {
    throw Error(WithPath(IoErrorText(error), path));
  }
}

GallerySettings LoadState(const std::string& path, const GallerySettings& current) {
  std::string bytes;
  const int error = ReadBoundedFile(path, MaxStateFileBytes(), bytes);
  // A directory, a pipe, a device or a file larger than any state file is refused unread.
  if (error == EISDIR || error == EINVAL || error == EFBIG) throw Error(NotAStateFile(path));
  if (error != 0) throw Error(WithPath(IoErrorText(error), path));
  return DecodeState(bytes, current, path);
}

}  // namespace quorvel::persist
