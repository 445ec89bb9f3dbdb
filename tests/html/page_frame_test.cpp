// The page frame: generator comment, head, body tag with colours and background, custom HTML.
#include "html/page_frame.h"

#include <gtest/gtest.h>

namespace quorvel::html {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

const char kComment[] =
    "<!-- This HTML code created by QUORVELANDISCOPE https://quorvelandiscope.example.org/ -->";

TEST(PageFrameTest, GeneratorComment) { EXPECT_EQ(GeneratorComment(), kComment); }

TEST(PageFrameTest, DefaultsGiveTenHeaderAndThreeFooterLines) {
  const PageFrame frame = BuildPageFrame(PageSettings{}, "C:\\web\\", W);
  EXPECT_EQ(frame.Header, (Lines{kComment, "", "<html>", "", "<head>", "<title>New Page</title>",
                                 "</head>", "", "<body>", ""}));
  EXPECT_EQ(frame.Footer, (Lines{"", "</body>", "</html>"}));
}

TEST(PageFrameTest, CustomHtmlIsSetOffByEmptyLines) {
  PageSettings page;
  page.TopHTML = {"<h1>Trip</h1>", "<hr>"};
  page.BottomHTML = {"<hr>", "<address>me</address>"};
  const PageFrame frame = BuildPageFrame(page, "/web/", P);
  EXPECT_EQ(frame.Header, (Lines{kComment, "", "<html>", "", "<head>", "<title>New Page</title>",
                                 "</head>", "", "<body>", "", "<h1>Trip</h1>", "<hr>", ""}));
  EXPECT_EQ(frame.Footer, (Lines{"", "<hr>", "<address>me</address>", "", "</body>", "</html>"}));
}

TEST(PageFrameTest, CustomHtmlAndTitleAreWrittenAsTyped) {
  PageSettings page;
  page.Title = "Tom & Jerry <2001>";
  page.TopHTML = {"", "<p align=\"center\">&copy;"};
  const PageFrame frame = BuildPageFrame(page, "/web/", P);
  ASSERT_EQ(frame.Header.size(), 13u);
  EXPECT_EQ(frame.Header[5], "<title>Tom & Jerry <2001></title>");
  EXPECT_EQ(frame.Header[10], "");
  EXPECT_EQ(frame.Header[11], "<p align=\"center\">&copy;");
  EXPECT_EQ(frame.Header[12], "");
}

TEST(BodyTagTest, OnlyTheTextColour) {
  PageSettings page;
  page.TextColor = 0x0000FF;
  EXPECT_EQ(BodyTag(page, "C:\\web\\", W), "<body text=\"#FF0000\">");
}

TEST(BodyTagTest, AllColoursInTheirOrderThenTheBackground) {
  PageSettings page;
  page.ActiveHyperlinkColor = 0xFFFFFF;
  page.VisitedHyperlinkColor = 0x800080;
  page.HyperlinkColor = 0xFF0000;
  page.TextColor = 0x000000;
  page.BackgroundColor = 0xC0C0C0;
  page.UseBackgroundImage = true;
  page.BackgroundImage = "C:\\web\\bg\\paper.jpg";
  EXPECT_EQ(BodyTag(page, "C:\\web\\", W),
            "<body bgcolor=\"#C0C0C0\" text=\"#000000\" link=\"#0000FF\" vlink=\"#800080\" "
            "alink=\"#FFFFFF\" background=\"bg\\paper.jpg\">");
}

TEST(BodyTagTest, BackgroundImageSwitchedOffWritesNoAttribute) {
  PageSettings page;
  page.BackgroundImage = "C:\\web\\bg\\paper.jpg";
  EXPECT_EQ(BodyTag(page, "C:\\web\\", W), "<body>");
}

struct ReferenceCase {
  PathStyle style;
  const char* image;
  const char* base;
  const char* reference;
};

class BackgroundReferenceTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(BackgroundReferenceTest, IsRelativeToTheBaseDirectory) {
  const ReferenceCase& c = GetParam();
  EXPECT_EQ(BackgroundReference(c.image, c.base, c.style), c.reference)
      << c.image << " from " << c.base;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, BackgroundReferenceTest,
    ::testing::Values(
        ReferenceCase{W, "C:\\web\\bg\\back.jpg", "C:\\web\\", "bg\\back.jpg"},
        ReferenceCase{W, "C:\\back.jpg", "C:\\web\\", "..\\back.jpg"},
        ReferenceCase{W, "C:\\web\\back.jpg", "C:\\web\\", "back.jpg"},
        // A run's image directory has no trailing backslash.
        ReferenceCase{W, "C:\\pics\\trip\\back.jpg", "C:\\pics\\trip", "back.jpg"},
        ReferenceCase{W, "C:\\pics\\bg\\back.jpg", "C:\\pics\\trip", "..\\bg\\back.jpg"},
        ReferenceCase{W, "C:\\a\\b\\c\\back.jpg", "C:\\a\\", "b\\c\\back.jpg"},
        ReferenceCase{W, "C:\\pics\\back.jpg", "C:\\", "C:\\pics\\back.jpg"},
        ReferenceCase{W, "C:/web/bg/back.jpg", "C:\\web\\", "bg\\back.jpg"},
        ReferenceCase{W, "C:\\web\\my #1 bg.jpg", "C:\\web\\", "my%20%231%20bg.jpg"}));

INSTANTIATE_TEST_SUITE_P(
    Posix, BackgroundReferenceTest,
    ::testing::Values(ReferenceCase{P, "/web/bg/back.jpg", "/web/", "bg/back.jpg"},
                      ReferenceCase{P, "/back.jpg", "/web/", "../back.jpg"},
                      ReferenceCase{P, "/web/back.jpg", "/web/", "back.jpg"},
                      ReferenceCase{P, "/pics/trip/back.jpg", "/pics/trip", "back.jpg"},
                      ReferenceCase{P, "/pics/bg/back.jpg", "/pics/trip", "../bg/back.jpg"},
                      ReferenceCase{P, "/a/b/c/back.jpg", "/a/", "b/c/back.jpg"},
                      ReferenceCase{P, "/pics/back.jpg", "/", "/pics/back.jpg"},
                      ReferenceCase{P, "/web/Ünïcode \"q\".jpg", "/web/",
                                    "%C3%9Cn%C3%AFcode%20%22q%22.jpg"}));

}  // namespace
}  // namespace quorvel::html
