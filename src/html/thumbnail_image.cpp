#include "html/thumbnail_image.h"

#include "html/escaping.h"

namespace quorvel::html {
namespace {

std::string SrcsetUrl(const std::string& href, PathStyle style) {
  std::string url;
  for (const char c : EncodeUrlPath(href, style))
    url += c == ',' ? std::string("%2C") : std::string(1, c);
  return url;
}

}  // namespace

std::string ThumbnailImageTag(const ThumbnailImage& image, PathStyle style) {
  std::string tag = "<img src=\"" + EncodeUrlPath(image.Href, style) + "\"";
  if (!image.HighDensityHref.empty()) {
    tag += " srcset=\"" + SrcsetUrl(image.HighDensityHref, style) + " 2x\"";
  }
  tag += " width=\"" + std::to_string(image.Width) + "\" height=\"" + std::to_string(image.Height) +
         "\"";
  return tag + " alt=\"" + EscapeHtmlText(image.FileName) + "\" border=\"0\">";
}

}  // namespace quorvel::html
