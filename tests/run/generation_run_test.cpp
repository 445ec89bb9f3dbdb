// The generation run end to end on temporary trees: exact page bytes, splits, navigators,
// the update mode, stop, validation and per-image failures.
#include <gtest/gtest.h>

#include <filesystem>

#include "job/error.h"
#include "run/generation_run.h"
#include "html/page_frame.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel {
namespace {

using testing::ReadFile;
using testing::TempDir;

class GenerationRunTest : public ::testing::Test {
 protected:
  GenerationRunTest() {
    tmp_.mkdir("web");
    tmp_.mkdir("thumbs");
    settings_.Output.HTMLDirectory = tmp_.file("web/");
    settings_.Output.AllThumbnailsDirectory = tmp_.file("thumbs/");
  }

  // Writes small JPEGs named `names` into `dir` (relative) and lists the directory.
  void Images(const std::string& dir, const std::vector<std::string>& names) {
    tmp_.mkdir(dir);
    for (const std::string& n : names) testing::WriteTestJpeg(tmp_.file(dir + "/" + n));
    settings_.Output.Directories.push_back(tmp_.file(dir));
  }

  // Runs to the end (or stops after `stop_after` images) and returns the summary.
  RunSummary Run(int stop_after = -1) {
    GenerationRun run(settings_, {});
    if (run.StartRun() == GenerationRun::Start::NothingToDo) return {};
    int ticks = 0;
    while (run.RunTick()) {
      if (++ticks == stop_after) run.StopRun();
    }
    EXPECT_FALSE(run.running());
    pages_ = run.pages_written();
    return run.summary();
  }

  std::string Size(const std::string& rel) {
    return std::to_string(platform::FileSize(tmp_.file(rel)).value_or(0));
  }

  // The default cell of image `file` in directory `dir` seen from the web directory.
  std::string Cell(const std::string& dir, const std::string& file, const std::string& thumb) {
    return "<td align=\"center\" valign=\"middle\" width=\"70\" height=\"70\"><a href=\"../" + dir +
           "/" + file + "\"><img src=\"../thumbs/" + thumb + "\" border=\"0\"></a><br>" + file +
           "<br>" + Size(dir + "/" + file) + " bytes</td>";
  }

  static std::string Page(const std::vector<std::string>& rows, const std::string& navigator = "") {
    std::string text = "\r\n";
    for (const std::string& line : html::BuildPageFrame(PageSettings{}, "", PathStyle::Posix).Header) {
      text += line + "\r\n";
    }
    if (!navigator.empty()) text += "<p>" + navigator + "</p>\r\n\r\n";
    text += "<table border=\"1\" cellpadding=\"1\" cellspacing=\"2\">\r\n";
    for (const std::string& row : rows) text += "<tr>\r\n" + row + "\r\n</tr>\r\n";
    return text + "</table>\r\n\r\n\r\n</body>\r\n</html>\r\n";
  }

  TempDir tmp_;
  GallerySettings settings_;
  std::vector<std::string> pages_;
};

TEST_F(GenerationRunTest, OneImageGivesOnePageWithOneCell) {
  Images("pics", {"a.jpg"});
  const RunSummary s = Run();
  EXPECT_EQ(s.images_done, 1);
  EXPECT_EQ(s.pages_written, 1);
  EXPECT_EQ(ReadFile(tmp_.file("web/index.html")), Page({Cell("pics", "a.jpg", "a_thumb.jpg")}));
  EXPECT_TRUE(platform::RegularFileExists(tmp_.file("thumbs/a_thumb.jpg")));
}

TEST_F(GenerationRunTest, RowsAndShortLastRow) {
  Images("pics", {"a.jpg", "b.jpg", "c.jpg"});
  settings_.Output.ThumbnailsInRow = 2;
  Run();
  EXPECT_EQ(ReadFile(tmp_.file("web/index.html")),
            Page({Cell("pics", "a.jpg", "a_thumb.jpg") + Cell("pics", "b.jpg", "b_thumb.jpg"),
                  Cell("pics", "c.jpg", "c_thumb.jpg")}));
  settings_.Output.ThumbnailsInRow = 1;
  Run();
  EXPECT_EQ(ReadFile(tmp_.file("web/index.html")),
            Page({Cell("pics", "a.jpg", "a_thumb.jpg"), Cell("pics", "b.jpg", "b_thumb.jpg"),
                  Cell("pics", "c.jpg", "c_thumb.jpg")}));
}

TEST_F(GenerationRunTest, SplitPagesAndTheirNavigator) {
  Images("pics", {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
  settings_.Output.SeparateHTML = settings_.Output.SplitHTML = true;
  settings_.Output.ThumbnailsInRow = 2;
  settings_.Output.ThumbnailsInColumn = 2;
  Run();
  const std::string nav =
      "[<a href=\"index000.html\">1</a>] [<a href=\"index001.html\">2</a>] ";
  EXPECT_EQ(ReadFile(tmp_.file("web/index000.html")),
            Page({Cell("pics", "a.jpg", "a_thumb.jpg") + Cell("pics", "b.jpg", "b_thumb.jpg"),
                  Cell("pics", "c.jpg", "c_thumb.jpg") + Cell("pics", "d.jpg", "d_thumb.jpg")},
                 nav));
  EXPECT_EQ(ReadFile(tmp_.file("web/index001.html")),
            Page({Cell("pics", "e.jpg", "e_thumb.jpg")}, nav));
  EXPECT_EQ(pages_.size(), 2u);
}

TEST_F(GenerationRunTest, ExactlyFullPageMakesNoEmptySecondPage) {
  Images("pics", {"a.jpg", "b.jpg"});
  settings_.Output.SeparateHTML = settings_.Output.SplitHTML = true;
  settings_.Output.ThumbnailsInRow = 1;
  settings_.Output.ThumbnailsInColumn = 2;
  Run();
  EXPECT_EQ(pages_.size(), 1u);
  EXPECT_FALSE(platform::PathExists(tmp_.file("web/index001.html")));
  // A single exactly filled page still gets the link labelled 1.
  EXPECT_NE(ReadFile(tmp_.file("web/index000.html")).find("[<a href=\"index000.html\">1</a>] "),
            std::string::npos);
}

TEST_F(GenerationRunTest, StopAfterTheFirstImageLeavesACompletePage) {
  Images("pics", {"a.jpg", "b.jpg", "c.jpg"});
  const RunSummary s = Run(1);
  EXPECT_TRUE(s.stopped);
  EXPECT_EQ(ReadFile(tmp_.file("web/index.html")), Page({Cell("pics", "a.jpg", "a_thumb.jpg")}));
  EXPECT_FALSE(platform::PathExists(tmp_.file("thumbs/b_thumb.jpg")));
}

TEST_F(GenerationRunTest, PerDirectoryPagesAndNavigator) {
  Images("one", {"a.jpg"});
  Images("two", {"b.jpg"});
  settings_.Output.SeparateHTML = settings_.Output.NewHTMLForEachDirectory = true;
  settings_.Output.HTMLFileMask = "%d%n.html";
  Run();
  const std::string nav = "[<a href=\"one0.html\">one</a>] [<a href=\"two0.html\">two</a>] ";
  EXPECT_EQ(ReadFile(tmp_.file("web/one0.html")), Page({Cell("one", "a.jpg", "a_thumb.jpg")}, nav));
  EXPECT_EQ(ReadFile(tmp_.file("web/two0.html")), Page({Cell("two", "b.jpg", "b_thumb.jpg")}, nav));
}

TEST_F(GenerationRunTest, PagesInImageDirectoriesWithSplitting) {
  Images("one", {"a.jpg", "b.jpg", "c.jpg"});
  Images("two", {"d.jpg"});
  settings_.Output.SeparateHTML = settings_.Output.SplitHTML = true;
  settings_.Output.HTMLIntoImageDirectory = true;
  settings_.Output.ThumbnailsInRow = 1;
  settings_.Output.ThumbnailsInColumn = 2;
  settings_.Output.HTMLDirectory.clear();
  Run();
  const std::string page0 = ReadFile(tmp_.file("one/index000.html"));
  EXPECT_NE(page0.find("<p>[<a href=\"index000.html\">1</a>] [<a href=\"index001.html\">2</a>] </p>"),
            std::string::npos);
  EXPECT_NE(page0.find("<a href=\"a.jpg\"><img src=\"../thumbs/a_thumb.jpg\""), std::string::npos);
  // A directory that fits on one page shows no navigator.
  const std::string two = ReadFile(tmp_.file("two/index000.html"));
  EXPECT_EQ(two.find("<p>"), std::string::npos);
  EXPECT_EQ(pages_.size(), 3u);
}

TEST_F(GenerationRunTest, EmptyNavigatorEntryWritesNoNavigatorLine) {
  Images("pics", {"a.jpg"});
  settings_.Output.SeparateHTML = settings_.Output.SplitHTML = true;
  Run();
  EXPECT_EQ(ReadFile(tmp_.file("web/index000.html")), Page({Cell("pics", "a.jpg", "a_thumb.jpg")}));
}

TEST_F(GenerationRunTest, PicturePagesGoIntoTheImageDirectory) {
  Images("pics", {"a.b.jpg"});
  settings_.Picture.CreatePicturePages = true;
  settings_.Picture.TargetFrame = 3;
  Run();
  const std::string page = ReadFile(tmp_.file("web/index.html"));
  EXPECT_NE(page.find("<a href=\"../pics/a.html\" target=\"_blank\"><img src=\"../thumbs/a_thumb.jpg\""),
            std::string::npos);
  EXPECT_NE(ReadFile(tmp_.file("pics/a.html")).find("<img src=\"a.b.jpg\">\r\n"), std::string::npos);
}

TEST_F(GenerationRunTest, UpdateModeKeepsExistingThumbnails) {
  Images("pics", {"a.jpg"});
  settings_.Output.ThumbnailsIntoImageDirectory = true;
  Run();
  const std::string thumb = tmp_.file("pics/thumb/a_thumb.jpg");
  ASSERT_TRUE(platform::RegularFileExists(thumb));
  ASSERT_EQ(platform::WriteFileAtomically(thumb, "marker"), 0);
  const std::string first_page = ReadFile(tmp_.file("web/index.html"));
  Run();
  EXPECT_EQ(ReadFile(thumb), "marker");
  EXPECT_EQ(ReadFile(tmp_.file("web/index.html")), first_page);
  settings_.Output.UpdateHTML = false;
  Run();
  EXPECT_NE(ReadFile(thumb), "marker");
}

TEST_F(GenerationRunTest, ImageLinksUseTheRealFileName) {
  Images("pics", {"Beach.JPG", "photo.jpeg", "holiday.2001.jpg"});
  Run();
  const std::string page = ReadFile(tmp_.file("web/index.html"));
  for (const char* link : {"href=\"../pics/Beach.JPG\"", "href=\"../pics/photo.jpeg\"",
                           "href=\"../pics/holiday.2001.jpg\"", "src=\"../thumbs/Beach_thumb.JPG\""}) {
    EXPECT_NE(page.find(link), std::string::npos) << link;
  }
}

TEST_F(GenerationRunTest, AFailingImageIsReportedAndItsCellStillWritten) {
  Images("pics", {"a.jpg", "c.jpg"});
  tmp_.write("pics/b.jpg", "not a jpeg");
  const RunSummary s = Run();
  EXPECT_EQ(s.images_done, 2);
  ASSERT_EQ(s.failures.size(), 1u);
  EXPECT_EQ(s.failures[0].path, tmp_.file("pics/b.jpg"));
  EXPECT_NE(s.failures[0].message.find("JPEG error #"), std::string::npos) << s.failures[0].message;
  const std::string page = ReadFile(tmp_.file("web/index.html"));
  EXPECT_NE(page.find("href=\"../pics/b.jpg\""), std::string::npos);
}

TEST_F(GenerationRunTest, ValidationAndEmptyRuns) {
  const auto message = [&](const GallerySettings& s) -> std::string {
    GenerationRun run(s, {});
    try {
      run.StartRun();
    } catch (const Error& e) {
      return e.what();
    }
    return "";
  };
  Images("pics", {"a.jpg"});
  GallerySettings s = settings_;
  s.Output.HTMLDirectory = tmp_.file("missing");
  EXPECT_EQ(message(s), "You must create or choose directory first!");
  EXPECT_FALSE(platform::PathExists(tmp_.file("missing/")));
  s = settings_;
  s.Output.ThumbnailsIntoImageDirectory = true;
  s.Output.ThumbnailDirectoryName.clear();
  EXPECT_EQ(message(s), "Wrong thumbnail directory");
  s = settings_;
  s.Output.AllThumbnailsDirectory.clear();
  EXPECT_NE(message(s), "");
  s = settings_;
  s.Output.Directories = {tmp_.mkdir("empty")};
  GenerationRun run(s, {});
  EXPECT_EQ(run.StartRun(), GenerationRun::Start::NothingToDo);
  EXPECT_FALSE(platform::PathExists(tmp_.file("web/index.html")));
}

TEST_F(GenerationRunTest, MissingHtmlDirectoryIsCreatedOnYes) {
  Images("pics", {"a.jpg"});
  settings_.Output.HTMLDirectory = tmp_.file("new-web");
  std::string asked;
  RunEnvironment env;
  env.ask = [&](const std::string& m) { asked = m; return true; };
  GenerationRun run(settings_, env);
  ASSERT_EQ(run.StartRun(), GenerationRun::Start::Started);
  while (run.RunTick()) {
  }
  EXPECT_EQ(asked, "Directory \"" + tmp_.file("new-web/") + "\" does not exist. Do you want create it?");
  EXPECT_TRUE(platform::RegularFileExists(tmp_.file("new-web/index.html")));
}

}  // namespace
}  // namespace quorvel
