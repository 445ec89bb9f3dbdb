// Picture pages: their frame, their exact bytes, where they go and how a failed write ends.
#include "html/picture_page.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "job/error.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace quorvel::html {
namespace {

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

const std::string kComment =
    "<!-- This HTML code created by QUORVELANDISCOPE https://quorvelandiscope.example.org/ -->";

PictureSettings PicturesOn() {
  PictureSettings p;
  p.CreatePicturePages = true;
  return p;
}

const std::string kDefaultPage = kComment +
                                 "\r\n"
                                 "\r\n"
                                 "<html>\r\n"
                                 "\r\n"
                                 "<head>\r\n"
                                 "<title>New Page</title>\r\n"
                                 "</head>\r\n"
                                 "\r\n"
                                 "<body>\r\n"
                                 "\r\n"
                                 "\r\n"
                                 "<img src=\"photo.jpg\">\r\n"
                                 "\r\n"
                                 "</body>\r\n"
                                 "</html>\r\n";

TEST(PicturePageTest, Defaults) {
  const PageFrame frame = BuildPicturePageFrame(PicturesOn(), "C:\\pics", W);
  EXPECT_EQ(PicturePageText(frame, "photo.jpg"), kDefaultPage);
}

TEST(PicturePageTest, TopHtmlIsFollowedDirectlyByTheEmptyLineBeforeTheImage) {
  PictureSettings p = PicturesOn();
  p.PicturePage.TopHTML = {"<h1>Trip</h1>"};
  const PageFrame frame = BuildPicturePageFrame(p, "/pics", P);
  EXPECT_EQ(PicturePageText(frame, "photo.jpg"),
            kComment +
                "\r\n\r\n<html>\r\n\r\n<head>\r\n<title>New Page</title>\r\n</head>\r\n\r\n"
                "<body>\r\n\r\n<h1>Trip</h1>\r\n\r\n<img src=\"photo.jpg\">\r\n\r\n</body>\r\n"
                "</html>\r\n");
}

TEST(PicturePageTest, BottomHtmlFollowsTheImageDirectly) {
  PictureSettings p = PicturesOn();
  p.PicturePage.Title = "Beach & sea";
  p.PicturePage.BackgroundColor = 0x000000;
  p.PicturePage.TextColor = 0xFFFFFF;
  p.PicturePage.TopHTML = {"<center>", "<h2>Beach</h2>"};
  p.PicturePage.BottomHTML = {"<hr>", "</center>"};
  const PageFrame frame = BuildPicturePageFrame(p, "C:\\pics", W);
  EXPECT_EQ(frame.Footer, (Lines{"<hr>", "</center>", "", "</body>", "</html>"}));
  EXPECT_EQ(PicturePageText(frame, "beach.jpg"),
            kComment +
                "\r\n\r\n<html>\r\n\r\n<head>\r\n<title>Beach & sea</title>\r\n</head>\r\n\r\n"
                "<body bgcolor=\"#000000\" text=\"#FFFFFF\">\r\n\r\n<center>\r\n<h2>Beach</h2>\r\n"
                "\r\n<img src=\"beach.jpg\">\r\n<hr>\r\n</center>\r\n\r\n</body>\r\n</html>\r\n");
}

TEST(PicturePageTest, BackgroundIsRelativeToThePicturesDirectory) {
  PictureSettings p = PicturesOn();
  p.PicturePage.UseBackgroundImage = true;
  p.PicturePage.BackgroundImage = "C:\\pics\\bg\\paper.jpg";
  EXPECT_EQ(BuildPicturePageFrame(p, "C:\\pics\\trip", W).Header[8],
            "<body background=\"..\\bg\\paper.jpg\">");
  EXPECT_EQ(BuildPicturePageFrame(p, "C:\\pics", W).Header[8],
            "<body background=\"bg\\paper.jpg\">");

  p.PicturePage.BackgroundImage = "/pics/bg/paper.jpg";
  EXPECT_EQ(BuildPicturePageFrame(p, "/pics/trip", P).Header[8],
            "<body background=\"../bg/paper.jpg\">");
  EXPECT_EQ(BuildPicturePageFrame(p, "/pics", P).Header[8], "<body background=\"bg/paper.jpg\">");
}

TEST(PicturePageTest, SwitchedOffBuildsNoFrame) {
  PictureSettings p;
  p.PicturePage.TopHTML = {"<h1>x</h1>"};
  const PageFrame frame = BuildPicturePageFrame(p, "/pics", P);
  EXPECT_TRUE(frame.Header.empty());
  EXPECT_TRUE(frame.Footer.empty());
}

TEST(PicturePageTest, ImageNameIsALinkNotMarkup) {
  const PageFrame frame = BuildPicturePageFrame(PicturesOn(), "/pics", P);
  const std::string text = PicturePageText(frame, "my \"best\" #1.jpg");
  EXPECT_NE(text.find("\r\n<img src=\"my%20%22best%22%20%231.jpg\">\r\n"), std::string::npos);
}

TEST(WritePicturePageTest, WritesThePageFile) {
  TempDir tmp;
  const std::string page = tmp.file("photo.html");
  WritePicturePage(page, PicturesOn(), tmp.path(), "photo.jpg", P);
  EXPECT_EQ(ReadFile(page), kDefaultPage);
}

TEST(WritePicturePageTest, BuildsTheFrameForTheDirectoryItWritesInto) {
  TempDir tmp;
  const std::string trip = tmp.mkdir("pics/trip");
  PictureSettings p = PicturesOn();
  p.PicturePage.UseBackgroundImage = true;
  p.PicturePage.BackgroundImage = tmp.file("pics/paper.jpg");
  WritePicturePage(trip + "/a.html", p, trip, "a.jpg", P);
  WritePicturePage(tmp.file("pics/b.html"), p, tmp.file("pics"), "b.jpg", P);
  EXPECT_NE(ReadFile(trip + "/a.html").find("\r\n<body background=\"../paper.jpg\">\r\n"),
            std::string::npos);
  EXPECT_NE(ReadFile(tmp.file("pics/b.html")).find("\r\n<body background=\"paper.jpg\">\r\n"),
            std::string::npos);
}

TEST(WritePicturePageTest, ALaterImageWithTheSameBaseNameReplacesThePage) {
  TempDir tmp;
  const std::string page = tmp.file("a.html");
  WritePicturePage(page, PicturesOn(), tmp.path(), "a.1.jpg", P);
  WritePicturePage(page, PicturesOn(), tmp.path(), "a.2.jpg", P);
  const std::string text = ReadFile(page);
  EXPECT_EQ(text.find("a.1.jpg"), std::string::npos);
  EXPECT_NE(text.find("\r\n<img src=\"a.2.jpg\">\r\n"), std::string::npos);
  EXPECT_EQ(platform::ListDirectory(tmp.path()).size(), 1u);
}

std::string ErrorOf(const std::string& page, const std::string& dir) {
  try {
    WritePicturePage(page, PicturesOn(), dir, "photo.jpg", P);
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

TEST(WritePicturePageTest, MissingDirectoryIsCannotCreateFileAndLeavesNothing) {
  TempDir tmp;
  const std::string page = tmp.file("missing/photo.html");
  EXPECT_EQ(ErrorOf(page, tmp.file("missing")), "Cannot create file " + page);
  EXPECT_FALSE(platform::PathExists(page));
  EXPECT_TRUE(platform::ListDirectory(tmp.path()).empty());
}

int FailWithDiskFull(const std::string&) { return ENOSPC; }

TEST(WritePicturePageTest, AFailedWriteKeepsThePreviousPage) {
  TempDir tmp;
  const std::string page = tmp.write("photo.html", "previous page");
  platform::SetWriteFaultHookForTesting(&FailWithDiskFull);
  const std::string error = ErrorOf(page, tmp.path());
  platform::SetWriteFaultHookForTesting(nullptr);
  EXPECT_EQ(error, "Cannot create file " + page);
  EXPECT_EQ(ReadFile(page), "previous page");
  EXPECT_EQ(platform::ListDirectory(tmp.path()).size(), 1u) << "no temporary file is left";
}

}  // namespace
}  // namespace quorvel::html
