#include "job/settings_fields.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <span>
#include <utility>
#include <vector>

#include "job/error.h"
#include "job/settings_table.h"

namespace quorvel {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

long long ParseInteger(const std::string& text, const std::string& field) {
  long long value = 0;
  const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
    throw Error(field + ": \"" + text + "\" is not a whole number");
  }
  return std::clamp<long long>(value, INT32_MIN, INT32_MAX);
}

bool ParseBoolean(const std::string& text, const std::string& field) {
  const std::string t = Lower(text);
  if (t == "true" || t == "1" || t == "yes" || t == "on") return true;
  if (t == "false" || t == "0" || t == "no" || t == "off") return false;
  throw Error(field + ": \"" + text + "\" is not true or false");
}

ColorValue ParseColor(const std::string& text, const std::string& field) {
  if (Lower(text) == "default") return kDefaultColor;
  unsigned value = 0;
  if (text.size() == 7 && text[0] == '#') {
    const auto [end, ec] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (ec == std::errc() && end == text.data() + 7) {
      // #RRGGBB to 0x00BBGGRR
      return static_cast<ColorValue>(((value & 0xFF) << 16) | (value & 0xFF00) | (value >> 16));
    }
  }
  throw Error(field + ": \"" + text + "\" is not a colour (#RRGGBB or default)");
}

int ParseIndex(const std::string& text, std::span<const std::string_view> items,
               const std::string& field) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (text == items[i]) return static_cast<int>(i);
  }
  const long long index = ParseInteger(text, field);
  if (index < 0 || index >= static_cast<long long>(items.size())) {
    throw Error(field + ": no item " + text);
  }
  return static_cast<int>(index);
}

// Lines are separated by a newline or by the two characters "\n".
Lines ParseLines(const std::string& text) {
  Lines lines;
  if (text.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      lines.push_back(line);
      line.clear();
      ++i;
    } else if (text[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  lines.push_back(line);
  return lines;
}

// Whether `name` is `path` or a tail of it that starts at a component boundary.
bool NamesField(const std::string& path, const std::string& name) {
  if (path == name) return true;
  return path.size() > name.size() && path.ends_with(name) &&
         path[path.size() - name.size() - 1] == '.';
}

// Collects the full names that `name` could mean; an exact full name wins.
class NameMatcher {
 public:
  explicit NameMatcher(const std::string& name) : name_(name) {}

  template <typename T>
  void Int(const std::string& path, const T&) {
    See(path);
  }
  template <typename T, typename Items>
  void Index(const std::string& path, const T&, const Items&) {
    See(path);
  }
  void Bool(const std::string& path, bool) { See(path); }
  void Color(const std::string& path, ColorValue) { See(path); }
  void Str(const std::string& path, const std::string&, const std::string&) { See(path); }
  void Lines(const std::string& path, const quorvel::Lines&, const std::string&) { See(path); }

  // The one full name meant; throws Error when there is none or more than one.
  std::string Match() const {
    if (exact_) return name_;
    if (candidates_.empty()) throw Error("Unknown setting " + name_);
    if (candidates_.size() > 1) {
      std::string list;
      for (const std::string& c : candidates_) list += (list.empty() ? "" : ", ") + c;
      throw Error("Setting " + name_ + " is ambiguous: use one of " + list);
    }
    return candidates_.front();
  }

 private:
  void See(const std::string& path) {
    if (path == name_) exact_ = true;
    if (NamesField(path, name_)) candidates_.push_back(path);
  }

  const std::string& name_;
  bool exact_ = false;
  std::vector<std::string> candidates_;
};

// Parses the text into the field of the full name `path`.
class FieldSetter {
 public:
  FieldSetter(const std::string& path, const std::string& text) : path_(path), text_(text) {}

  template <typename T>
  void Int(const std::string& path, T& field) {
    if (path == path_) field = static_cast<std::int32_t>(ParseInteger(text_, path));
  }
  template <typename T, typename Items>
  void Index(const std::string& path, T& field, const Items& items) {
    if (path == path_) field = ParseIndex(text_, items, path);
  }
  void Bool(const std::string& path, bool& field) {
    if (path == path_) field = ParseBoolean(text_, path);
  }
  void Color(const std::string& path, ColorValue& field) {
    if (path == path_) field = ParseColor(text_, path);
  }
  void Str(const std::string& path, std::string& field, const std::string&) {
    if (path == path_) field = text_;
  }
  void Lines(const std::string& path, quorvel::Lines& field, const std::string&) {
    if (path == path_) field = ParseLines(text_);
  }

 private:
  const std::string& path_;
  const std::string& text_;
};

}  // namespace

void SetFieldFromText(GallerySettings& settings, const std::string& name, const std::string& text) {
  NameMatcher matcher(name);
  VisitAllSettings(std::as_const(settings), matcher);
  const std::string path = matcher.Match();
  FieldSetter setter(path, text);
  VisitAllSettings(settings, setter);
}

}  // namespace quorvel
