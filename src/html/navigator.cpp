#include "html/navigator.h"

#include "html/caption.h"
#include "html/escaping.h"

namespace quorvel::html {

NavigatorWrapper BuildNavigatorWrapper(const NavigatorSettings& n) {
  NavigatorWrapper w;
  w.Prefix = "<p";
  if (n.Alignment != 0) w.Prefix += " align=\"" + std::string(kAlignmentItems[n.Alignment]) + "\"";
  w.Prefix += ">";
  w.Suffix = "</p>";
  const std::string font = FontOpenTag(n.Font, n.Size, n.Color);
  if (!font.empty()) {
    w.Prefix += font;
    w.Suffix = "</font>" + w.Suffix;
  }
  if (n.Italic) {
    w.Prefix += "<i>";
    w.Suffix = "</i>" + w.Suffix;
  }
  if (n.Bold) {
    w.Prefix += "<b>";
    w.Suffix = "</b>" + w.Suffix;
  }
  return w;
}

std::string NavigatorLink(const std::string& href, const std::string& label, PathStyle style) {
  return "[<a href=\"" + EncodeUrlPath(href, style) + "\">" + EscapeHtmlText(label) + "</a>] ";
}

}  // namespace quorvel::html
