#include "html/escaping.h"

#include <cstdint>
#include <cstring>

#include "job/utf8.h"

namespace quorvel::html {
namespace {

bool KeptInLink(unsigned char c, PathStyle style) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  if (c == '\\') return style == PathStyle::Windows;
  return c != '\0' && std::strchr("-._~/!$'()*+,;=:@", c) != nullptr;
}

// Where the first segment of `path` ends (its first separator, or its end).
std::size_t FirstSegmentEnd(std::string_view path, PathStyle style) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i], style)) return i;
  }
  return path.size();
}

bool IsWindowsDrive(std::string_view path, std::size_t segmentEnd) {
  const auto letter = static_cast<unsigned char>(path.empty() ? '\0' : path[0]);
  return segmentEnd == 2 && path[1] == ':' &&
         ((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'));
}

// Bytes 0x80 to 0x9F of Windows-1252; the rest of its upper half is Latin-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t Windows1252(unsigned char c) { return c < 0xA0 ? kWindows1252High[c - 0x80] : c; }

}  // namespace

std::string EncodeUrlPath(std::string_view path, PathStyle style) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::size_t first_end = FirstSegmentEnd(path, style);
  const bool drive = style == PathStyle::Windows && IsWindowsDrive(path, first_end);
  std::string out;
  out.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    const bool scheme_colon = c == ':' && i < first_end && !drive;
    if (KeptInLink(c, style) && !scheme_colon) {
      out += path[i];
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string EscapeHtmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const Utf8Char decoded = DecodeUtf8(text, i);
      const char32_t code =
          decoded.valid ? decoded.code_point : Windows1252(static_cast<unsigned char>(c));
      out += "&#" + std::to_string(static_cast<std::uint32_t>(code)) + ";";
      i += decoded.length;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
    ++i;
  }
  return out;
}

}  // namespace quorvel::html
