#include "html/caption.h"

#include "html/escaping.h"
#include "html/html_color.h"

namespace quorvel::html {
namespace {

bool HasFont(const TextBlockSettings& b) {
  return b.Font != 0 || b.Size != 0 || b.Color != kDefaultColor;
}

// The attributes named by the flags, with the block's entries. An entry at its default ("default
// font", "none", Default colour) has no value to write: such an attribute is left out, and the
// text keeps what the enclosing element sets.
std::string FontAttributes(bool face, int font, bool size, int size_entry, bool color,
                           ColorValue color_value) {
  std::string attrs;
  if (face && font != 0) attrs += " face=\"" + std::string(kFontItems[font]) + "\"";
  if (size && size_entry != 0) attrs += " size=\"" + std::string(kSizeItems[size_entry]) + "\"";
  if (color && color_value != kDefaultColor) attrs += ColorAttribute("color", color_value);
  return attrs;
}

}  // namespace

std::string FontOpenTag(int font, int size, ColorValue color) {
  if (font == 0 && size == 0 && color == kDefaultColor) return {};
  return "<font" + FontAttributes(true, font, true, size, true, color) + ">";
}

std::string BuildCaption(const TextSettings& text, const std::string& imageName,
                         std::uint64_t imageSize) {
  const TextBlockSettings& name = text.ImageName;
  const TextBlockSettings& size = text.ImageSize;
  const bool name_on = name.Print;
  const bool size_on = size.Print;
  const bool name_bold = name_on && name.Bold;
  const bool name_italic = name_on && name.Italic;
  const bool name_font = name_on && HasFont(name);
  bool name_font_closed = false;
  std::string t;
  if (name_on) {
    if (name_font) t += FontOpenTag(name.Font, name.Size, name.Color);
    if (name.Italic) t += "<i>";
    if (name.Bold) t += "<b>";
    t += EscapeHtmlText(imageName);
  }
  if (size_on) {
    if (name_bold && !size.Bold) t += "</b>";
    if (name_italic && !size.Italic) t += "</i>";
    if (name_font && size.Font != name.Font && size.Size != name.Size && size.Color != name.Color) {
      t += "</font>";
      name_font_closed = true;
    }
    t += "<br>";
    if (size.Italic && !name_italic) t += "<i>";
    if (size.Bold && !name_bold) t += "<b>";
    bool size_font = false;
    if (HasFont(size)) {
      const int ref_font = name_font ? static_cast<int>(name.Font) : 0;
      const int ref_size = name_font ? static_cast<int>(name.Size) : 0;
      const ColorValue ref_color = name_font ? name.Color : kDefaultColor;
      const bool face = size.Font != ref_font;
      const bool sz = size.Size != ref_size;
      const bool color = size.Color != ref_color;
      const std::string attrs = FontAttributes(face, size.Font, sz, size.Size, color, size.Color);
      if (!attrs.empty()) {
        t += "<font" + attrs + ">";
        size_font = true;
      }
    }
    t += std::to_string(imageSize) + " bytes";
    if (size.Italic) t += "</i>";
    if (size.Bold) t += "</b>";
    if (size_font) t += "</font>";
  }
  if (name_on && !size_on) {
    if (name_bold) t += "</b>";
    if (name_italic) t += "</i>";
  }
  if (name_font && !name_font_closed) t += "</font>";
  if (!t.empty()) t = "<br>" + t;
  return t;
}

}  // namespace quorvel::html
