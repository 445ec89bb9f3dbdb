#include "cli/terminal_text.h"

#include <algorithm>

#include "job/utf8.h"

namespace quorvel::cli {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

}  // namespace

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\\') {
      out += "\\\\";
      ++i;
      continue;
    }
    const Utf8Char c = DecodeUtf8(text, i);
    const bool control = c.code_point < 0x20 || (c.code_point >= 0x7F && c.code_point < 0xA0);
    if (c.valid && !control) {
      out.append(text.substr(i, c.length));
    } else {
      for (std::size_t k = 0; k < c.length; ++k) {
        AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
      }
    }
    i += c.length;
  }
  return out;
}

std::string TerminalLines(std::string_view text) {
  std::string out;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    out += TerminalText(text.substr(start, end - start));
    if (end < text.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace quorvel::cli
