#include "html/page_frame.h"

#include "html/escaping.h"
#include "html/html_color.h"
#include "job/relative_path.h"

namespace quorvel::html {

std::string GeneratorComment() {
  return std::string("<!-- This HTML code created by QUORVELANDISCOPE ") + kProductWebAddress +
         " -->";
}

std::string BackgroundReference(const std::string& imagePath, const std::string& baseDirectory,
                                PathStyle style) {
  return EncodeUrlPath(RelativeFileLink(baseDirectory, imagePath, style), style);
}

std::string BodyTag(const PageSettings& page, const std::string& baseDirectory, PathStyle style) {
  std::string tag = "<body";
  tag += ColorAttribute("bgcolor", page.BackgroundColor);
  tag += ColorAttribute("text", page.TextColor);
  tag += ColorAttribute("link", page.HyperlinkColor);
  tag += ColorAttribute("vlink", page.VisitedHyperlinkColor);
  tag += ColorAttribute("alink", page.ActiveHyperlinkColor);
  if (page.UseBackgroundImage) {
    tag +=
        " background=\"" + BackgroundReference(page.BackgroundImage, baseDirectory, style) + "\"";
  }
  return tag + ">";
}

PageFrame BuildPageFrame(const PageSettings& page, const std::string& baseDirectory,
                         PathStyle style) {
  PageFrame frame;
  frame.Header = {GeneratorComment(),
                  "",
                  "<html>",
                  "",
                  "<head>",
                  "<title>" + page.Title + "</title>",
                  "</head>",
                  "",
                  BodyTag(page, baseDirectory, style),
                  ""};
  if (!page.TopHTML.empty()) {
    frame.Header.insert(frame.Header.end(), page.TopHTML.begin(), page.TopHTML.end());
    frame.Header.push_back("");
  }
  if (!page.BottomHTML.empty()) {
    frame.Footer.push_back("");
    frame.Footer.insert(frame.Footer.end(), page.BottomHTML.begin(), page.BottomHTML.end());
  }
  frame.Footer.insert(frame.Footer.end(), {"", "</body>", "</html>"});
  return frame;
}

}  // namespace quorvel::html
