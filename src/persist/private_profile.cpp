// Parsing and rewriting of initialisation files, kept line for line.
#include "persist/private_profile.h"

#include <cerrno>

#include "job/error.h"
#include "persist/bounded_file.h"
#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const std::size_t close = trimmed.find(']');
  const std::size_t end = close == std::string_view::npos ? trimmed.size() : close;
  return Trim(trimmed.substr(1, end - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyLine> ParseKeyLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyLine{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

PrivateProfile::PrivateProfile(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = text.size();
    std::string_view line = text.substr(start, end - start);
    const bool crlf = ended && !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    const char* ending = !ended ? "" : crlf ? "\r\n" : "\n";
    if (lines_.empty() && ended) newline_ = ending;
    lines_.emplace_back(line);
    endings_.emplace_back(ending);
    start = end + 1;
  }
}

std::optional<PrivateProfile::Range> PrivateProfile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !SameIgnoringCase(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> PrivateProfile::FindKey(const Range& range, std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const auto parsed = ParseKeyLine(lines_[i]);
    if (parsed && SameIgnoringCase(parsed->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> PrivateProfile::Get(std::string_view section,
                                               std::string_view key) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  const auto index = FindKey(*range, key);
  if (!index) return std::nullopt;
  return std::string(ParseKeyLine(lines_[*index])->value);
}

bool PrivateProfile::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (Trim(section).empty() || section.find(']') != std::string_view::npos) return false;
  if (Trim(key).empty() || key.find('=') != std::string_view::npos) return false;
  const std::string line = std::string(key) + "=" + std::string(value);
  const auto range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) InsertLine(lines_.size(), "");
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), line);
    return true;
  }
  if (const auto index = FindKey(*range, key)) {
    // The key keeps the spelling it already had in the file.
    lines_[*index] = std::string(ParseKeyLine(lines_[*index])->key) + "=" + std::string(value);
    return true;
  }
  // After the section's last non-blank line, so blank lines between sections stay put.
  std::size_t insert_at = range->end;
  while (insert_at > range->header + 1 && Trim(lines_[insert_at - 1]).empty()) --insert_at;
  InsertLine(insert_at, line);
  return true;
}

void PrivateProfile::InsertLine(std::size_t at, std::string line) {
  // A last line without its end gets one once another follows it; one ending in a carriage
  // return gets a full "\r\n", or that return would be read as part of the line end.
  if (at == lines_.size() && !endings_.empty() && endings_.back().empty()) {
    const bool ends_in_cr = !lines_.back().empty() && lines_.back().back() == '\r';
    endings_.back() = ends_in_cr ? "\r\n" : newline_;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  endings_.insert(endings_.begin() + static_cast<std::ptrdiff_t>(at), newline_);
}

std::string PrivateProfile::Text() const {
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) text += lines_[i] + endings_[i];
  return text;
}

int ReadPrivateProfile(const std::string& path, PrivateProfile& out) {
  out = PrivateProfile();
  std::string bytes;
  const int error = ReadBoundedFile(path, kMaxProfileBytes, bytes);
  if (error == ENOENT || error == ENOTDIR) return 0;
  if (error != 0) return error;
  out = PrivateProfile(bytes);
  return 0;
}

int WritePrivateProfile(const std::string& path, const PrivateProfile& profile) {
  const std::string text = profile.Text();
  if (text.size() > kMaxProfileBytes) return EFBIG;
  int error = platform::WriteFileAtomically(path, text);
  if (error == ENOENT) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return error;
    error = platform::CreateDirectories(path.substr(0, slash));
    if (error != 0) return error;
    error = platform::WriteFileAtomically(path, text);
  }
  return error;
}

std::optional<std::string> GetPrivateProfileString(const std::string& path,
                                                   std::string_view section, std::string_view key) {
  PrivateProfile profile;
  if (ReadPrivateProfile(path, profile) != 0) return std::nullopt;
  return profile.Get(section, key);
}

void WritePrivateProfileString(const std::string& path, std::string_view section,
                               std::string_view key, std::string_view value) {
  PrivateProfile profile;
  if (ReadPrivateProfile(path, profile) != 0 || !profile.Set(section, key, value) ||
      WritePrivateProfile(path, profile) != 0) {
    throw Error(FormatMessage("Unable to write to %s", path));
  }
}

}  // namespace quorvel::persist
