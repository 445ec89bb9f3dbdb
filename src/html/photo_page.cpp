#include "html/photo_page.h"

#include "html/escaping.h"
#include "html/html_color.h"
#include "html/phone_layout.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::html {
namespace {

// The index link sits in the middle, the other two in their own columns on either side, where
// they stay on pages that lack one of them. The photo takes what the window leaves below the
// links and above the caption, kept whole and in its aspect; a photo smaller than that space
// keeps its own size.
constexpr const char* kLayoutStyle[] = {
    "html,body{height:100%;margin:0}",
    "body{display:flex;flex-direction:column;font-family:sans-serif}",
    "nav{display:grid;grid-template-columns:1fr auto 1fr;align-items:center}",
    "nav a{padding:.6em}",
    "#prev{grid-column:1}",
    "#index{grid-column:2}",
    "#next{grid-column:3;text-align:right}",
    "main{flex:1;position:relative;min-height:0}",
    "main img{position:absolute;inset:0;margin:auto;max-width:100%;max-height:100%;"
    "width:auto;height:auto}",
    "footer{padding:.3em .8em .6em;text-align:center;overflow-wrap:anywhere}",
    "footer p{margin:.2em 0}",
};

constexpr const char* kDarkViewerStyle[] = {
    "body{background:#161616;color:#D0D0D0}",
    "a{color:#9CC3FF}",
};

// The arrow keys and Escape follow the links; with a modifier held they keep their browser
// meaning (history, text selection).
constexpr const char* kKeyScript[] = {
    "<script>",
    "document.addEventListener(\"keydown\", function (e) {",
    "  if (e.altKey || e.ctrlKey || e.metaKey || e.shiftKey) return;",
    "  var id = e.key == \"ArrowLeft\" ? \"prev\" : e.key == \"ArrowRight\" ? \"next\" :",
    "           e.key == \"Escape\" ? \"index\" : \"\";",
    "  var link = id && document.getElementById(id);",
    "  if (link) location.href = link.href;",
    "});",
    "</script>",
};

// "SELECTOR{PROPERTY:#RRGGBB}", or nothing for Default.
void AddColorRule(std::vector<std::string>& lines, const char* selector, const char* property,
                  ColorValue value) {
  if (value == kDefaultColor) return;
  lines.push_back(std::string(selector) + "{" + property + ":#" + ColorToHtml(value) + "}");
}

// The index pages' colours, in the order their body attributes take effect.
std::vector<std::string> UserColorStyle(const PageSettings& p) {
  std::vector<std::string> lines;
  AddColorRule(lines, "body", "background", p.BackgroundColor);
  AddColorRule(lines, "body", "color", p.TextColor);
  AddColorRule(lines, "a:link", "color", p.HyperlinkColor);
  AddColorRule(lines, "a:visited", "color", p.VisitedHyperlinkColor);
  AddColorRule(lines, "a:active", "color", p.ActiveHyperlinkColor);
  return lines;
}

std::vector<std::string> StyleLines(const PageSettings& colors) {
  std::vector<std::string> lines = {"<style>"};
  lines.insert(lines.end(), std::begin(kLayoutStyle), std::end(kLayoutStyle));
  // The viewer's own dark colours only while the index pages set none.
  if (const std::vector<std::string> user = UserColorStyle(colors); !user.empty()) {
    lines.insert(lines.end(), user.begin(), user.end());
  } else {
    lines.insert(lines.end(), std::begin(kDarkViewerStyle), std::end(kDarkViewerStyle));
  }
  lines.push_back("</style>");
  return lines;
}

std::string Link(const std::string& attributes, const std::string& href, PathStyle style,
                 const std::string& label) {
  return "<a" + attributes + " href=\"" + EncodeUrlPath(href, style) + "\">" + label + "</a>";
}

std::vector<std::string> NavigationLines(const PhotoPage& photo, PathStyle style) {
  std::vector<std::string> lines = {"<nav>"};
  if (!photo.PreviousHref.empty()) {
    lines.push_back(Link(" id=\"prev\" rel=\"prev\"", photo.PreviousHref, style,
                         "<span aria-hidden=\"true\">&#8592; </span>Previous photo"));
  }
  lines.push_back(Link(" id=\"index\"", photo.IndexHref, style, "Index"));
  if (!photo.NextHref.empty()) {
    lines.push_back(Link(" id=\"next\" rel=\"next\"", photo.NextHref, style,
                         "Next photo<span aria-hidden=\"true\"> &#8594;</span>"));
  }
  lines.push_back("</nav>");
  return lines;
}

std::string ImageLine(const PhotoPage& photo, PathStyle style) {
  return "<main><img src=\"" + EncodeUrlPath(photo.DisplayHref, style) + "\" width=\"" +
         std::to_string(photo.Width) + "\" height=\"" + std::to_string(photo.Height) + "\" alt=\"" +
         EscapeHtmlText(photo.FileName) + "\"></main>";
}

std::vector<std::string> FooterLines(const PhotoPage& photo, PathStyle style) {
  std::vector<std::string> lines = {"<footer>", "<p>" + EscapeHtmlText(photo.FileName) + "</p>"};
  std::string details;
  for (const std::string& detail : photo.Details) {
    if (detail.empty()) continue;
    details += (details.empty() ? "" : " &#183; ") + EscapeHtmlText(detail);
  }
  if (!details.empty()) lines.push_back("<p>" + details + "</p>");
  if (!photo.OriginalHref.empty()) {
    lines.push_back("<p>" + Link("", photo.OriginalHref, style, "Original") + "</p>");
  }
  lines.push_back("</footer>");
  return lines;
}

void Append(std::string& text, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) text += line + "\r\n";
}

}  // namespace

std::string PhotoPageText(const PhotoPage& photo, const PageSettings& colors, PathStyle style) {
  std::string text;
  Append(text, {"<!DOCTYPE html>", "<html>", "<head>", kCharsetLine, kViewportLine,
                "<title>" + EscapeHtmlText(photo.FileName) + "</title>"});
  Append(text, StyleLines(colors));
  Append(text, {"</head>", "<body>"});
  Append(text, NavigationLines(photo, style));
  Append(text, {ImageLine(photo, style)});
  Append(text, FooterLines(photo, style));
  Append(text, {std::begin(kKeyScript), std::end(kKeyScript)});
  Append(text, {"</body>", "</html>"});
  return text;
}

void WritePhotoPage(const std::string& pagePath, const PhotoPage& photo, const PageSettings& colors,
                    PathStyle style) {
  const int error = platform::WriteFileAtomically(pagePath, PhotoPageText(photo, colors, style));
  if (error != 0) throw Error(FileErrorMessage("Cannot create file %s", pagePath, error));
}

}  // namespace quorvel::html
