// The configuration file over the private-profile layer: each read and each write goes to
// the file itself, so what is on disk is always what the program last wrote.
#include "persist/config_file.h"

#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "persist/private_profile.h"
#include "platform/file_system.h"

namespace quorvel::persist {
namespace {

constexpr std::size_t kMaxStringRead = 2047;

std::optional<std::int32_t> ParseConfigInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  // Leading digits count, as they always have in these files ("12px" reads 12).
  std::int64_t magnitude = 0;
  std::size_t digits = 0;
  for (const char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      break;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFLL) return std::nullopt;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (base == 16) {
    // Hexadecimal gives the 32 bits themselves: "0xFFFFFFFF" is -1.
    const auto bits = static_cast<std::uint32_t>(magnitude);
    const auto value = static_cast<std::int32_t>(bits);
    return negative ? static_cast<std::int32_t>(0u - bits) : value;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace

ConfigFile::ConfigFile(std::string path) : path_(std::move(path)) {}

bool ConfigFile::HasKey(const std::string& section, const std::string& key) const {
  return GetPrivateProfileString(path_, section, key).has_value();
}

std::int32_t ConfigFile::ReadInt(const std::string& section, const std::string& key,
                                 std::int32_t fallback) const {
  const auto text = GetPrivateProfileString(path_, section, key);
  if (!text) return fallback;
  return ParseConfigInteger(*text).value_or(fallback);
}

bool ConfigFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInt(section, key, fallback ? 1 : 0) != 0;
}

std::string ConfigFile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
  auto text = GetPrivateProfileString(path_, section, key);
  if (!text) return fallback;
  if (text->size() > kMaxStringRead) text->resize(kMaxStringRead);
  return *text;
}

void ConfigFile::WriteInt(const std::string& section, const std::string& key, std::int32_t value) {
  WritePrivateProfileString(path_, section, key, std::to_string(value));
}

void ConfigFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WritePrivateProfileString(path_, section, key, value ? "1" : "0");
}

void ConfigFile::WriteString(const std::string& section, const std::string& key,
                             const std::string& value) {
  WritePrivateProfileString(path_, section, key, value);
}

std::string DefaultConfigPath() {
  std::string base;
  // A relative XDG_CONFIG_HOME is ignored, as the base-directory rules require.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else {
    base = platform::HomeDirectory() + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  if (base == "/") base.clear();
  return base + "/quorvelandiscope/quorvel.cfg";
}

std::string ProgramDirectory() { return platform::HomeDirectory(); }

}  // namespace quorvel::persist
