#include "html/html_color.h"

#include <cstdio>

namespace quorvel::html {

std::string ColorToHtml(ColorValue value) {
  const unsigned v = static_cast<unsigned>(value) & 0xFFFFFFu;
  char digits[8];
  std::snprintf(digits, sizeof digits, "%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
  return digits;
}

std::string ColorAttribute(std::string_view attribute, ColorValue value) {
  if (value == kDefaultColor) return {};
  return " " + std::string(attribute) + "=\"#" + ColorToHtml(value) + "\"";
}

}  // namespace quorvel::html
