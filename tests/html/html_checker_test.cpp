// Generated pages run through an HTML checker (tidy): apart from what the pages write on
// purpose (no doctype, legacy presentational attributes), the checker finds nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "job/path_style.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "support/temp_dir.h"

namespace {

using quorvel::PathStyle;
using quorvel::testing::TempDir;

// What the pages write on purpose: pages without a doctype, a picture without alt text, and
// the body's colour attributes of HTML 3.2.
const std::set<std::string> kAcceptedWarnings = {
    "Warning: missing <!DOCTYPE> declaration",
    "Warning: <img> lacks \"alt\" attribute",
    "Warning: <body> attribute \"background\" not allowed for HTML5",
    "Warning: <body> attribute \"bgcolor\" not allowed for HTML5",
    "Warning: <body> attribute \"text\" not allowed for HTML5",
    "Warning: <body> attribute \"link\" not allowed for HTML5",
    "Warning: <body> attribute \"vlink\" not allowed for HTML5",
    "Warning: <body> attribute \"alink\" not allowed for HTML5",
};

std::set<std::string> CheckerWarnings(const std::string& path) {
  const std::string command = "tidy -q -e '" + path + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {"cannot run tidy"};
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  pclose(pipe);
  std::set<std::string> warnings;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t dash = line.find(" - ");
    warnings.insert(dash == std::string::npos ? line : line.substr(dash + 3));
  }
  return warnings;
}

quorvel::PictureSettings ColourfulPictures() {
  quorvel::PictureSettings pictures;
  pictures.CreatePicturePages = true;
  quorvel::PageSettings& page = pictures.PicturePage;
  page.Title = "Summer & sea <2026>";
  page.UseBackgroundImage = true;
  page.BackgroundImage = "/web/bg/paper texture.jpg";
  page.BackgroundColor = 0x0000FF;
  page.TextColor = 0xFFFFFF;
  page.HyperlinkColor = 0x00FF00;
  page.VisitedHyperlinkColor = 0x808080;
  page.ActiveHyperlinkColor = 0x123456;
  page.TopHTML = {"<h1>Summer</h1>"};
  page.BottomHTML = {"<p>Back to the <a href=\"index.html\">index</a></p>"};
  return pictures;
}

void ExpectOnlyAcceptedWarnings(const std::string& path) {
  if (std::system("command -v tidy >/dev/null 2>&1") != 0) GTEST_SKIP() << "tidy not installed";
  for (const std::string& warning : CheckerWarnings(path)) {
    EXPECT_TRUE(kAcceptedWarnings.count(warning)) << warning;
  }
}

TEST(HtmlCheckerTest, PicturePageWithEveryOption) {
  TempDir tmp;
  const std::string dir = tmp.mkdir("web/photos") + "/";
  const std::string page = dir + "sea & sky #1.html";
  quorvel::html::WritePicturePage(page, ColourfulPictures(), dir, "sea & sky #1.jpg",
                                  PathStyle::Posix);
  ExpectOnlyAcceptedWarnings(page);
}

TEST(HtmlCheckerTest, IndexPageFrameAroundATable) {
  TempDir tmp;
  const quorvel::html::PageFrame frame = quorvel::html::BuildPageFrame(
      ColourfulPictures().PicturePage, tmp.mkdir("web") + "/", PathStyle::Posix);
  std::string text;
  for (const std::string& line : frame.Header) text += line + "\r\n";
  text += "<table><tr><td><a href=\"a.jpg\"><img src=\"thumb/a_thumb.jpg\"></a></td></tr>"
          "</table>\r\n";
  for (const std::string& line : frame.Footer) text += line + "\r\n";
  const std::string path = tmp.write("web/index.html", text);
  ExpectOnlyAcceptedWarnings(path);
}

}  // namespace
