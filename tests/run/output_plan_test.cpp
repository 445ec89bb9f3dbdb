// Output planning: clashing names resolved only for the images that clash, and refusals.
#include <gtest/gtest.h>

#include "job/error.h"
#include "run/output_plan.h"

namespace quorvel {
namespace {

constexpr PathStyle P = PathStyle::Posix;

struct Names {
  std::vector<std::string> thumbs;
  std::vector<std::string> pages;
};

Names Plan(const OutputSettings& out, const std::vector<std::string>& images,
           const ThumbnailSettings& thumb = {}) {
  Names names;
  for (const ImagePlan& p : PlanOutputs(out, thumb, true, images, P)) {
    names.thumbs.push_back(p.thumbnail_path);
    names.pages.push_back(p.page_base + ".html");
  }
  return names;
}

OutputSettings SharedThumbs() {
  OutputSettings out;
  out.AllThumbnailsDirectory = "/web/thumbs/";
  out.HTMLDirectory = "/web/";
  return out;
}

TEST(OutputPlanTest, NamesWithoutClashesFollowTheMask) {
  const Names n = Plan(SharedThumbs(), {"/p/Beach.JPG", "/p/holiday.2001.jpg", "/p/x.jpeg"});
  EXPECT_EQ(n.thumbs, (std::vector<std::string>{"/web/thumbs/Beach_thumb.JPG",
                                                "/web/thumbs/holiday_thumb.jpg",
                                                "/web/thumbs/x_thumb.jpeg"}));
  EXPECT_EQ(n.pages, (std::vector<std::string>{"Beach.html", "holiday.html", "x.html"}));
}

TEST(OutputPlanTest, FirstDotClashInOneDirectoryUsesTheStem) {
  const Names n = Plan(SharedThumbs(), {"/p/a.1.jpg", "/p/a.2.jpg", "/p/b.jpg"});
  EXPECT_EQ(n.thumbs, (std::vector<std::string>{"/web/thumbs/a.1_thumb.jpg",
                                                "/web/thumbs/a.2_thumb.jpg",
                                                "/web/thumbs/b_thumb.jpg"}));
  EXPECT_EQ(n.pages, (std::vector<std::string>{"a.1.html", "a.2.html", "b.html"}));
}

TEST(OutputPlanTest, SameNameInTwoDirectoriesSharingThumbnailsGetsDirectoryPrefix) {
  const Names n = Plan(SharedThumbs(), {"/p/trip1/IMG_0001.jpg", "/p/trip2/IMG_0001.jpg",
                                        "/p/trip2/IMG_0002.jpg", "/q/trip1/IMG_0001.jpg"});
  EXPECT_EQ(n.thumbs, (std::vector<std::string>{"/web/thumbs/p_trip1_IMG_0001_thumb.jpg",
                                                "/web/thumbs/trip2_IMG_0001_thumb.jpg",
                                                "/web/thumbs/IMG_0002_thumb.jpg",
                                                "/web/thumbs/q_trip1_IMG_0001_thumb.jpg"}));
  // Picture pages lie in each image's own directory: no clash there.
  EXPECT_EQ(n.pages[0], "IMG_0001.html");
}

TEST(OutputPlanTest, ThumbnailsInImageDirectoriesDoNotClashAcrossDirectories) {
  OutputSettings out;
  out.ThumbnailsIntoImageDirectory = true;
  const Names n = Plan(out, {"/p/a/x.jpg", "/p/b/x.jpg"});
  EXPECT_EQ(n.thumbs, (std::vector<std::string>{"/p/a/thumb/x_thumb.jpg", "/p/b/thumb/x_thumb.jpg"}));
}

void ExpectRefused(const OutputSettings& out, const ThumbnailSettings& thumb,
                   const std::vector<std::string>& images, const std::string& needle) {
  try {
    PlanOutputs(out, thumb, false, images, P);
    FAIL() << "not refused: " << needle;
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find(needle), std::string::npos) << e.what();
  }
}

TEST(OutputPlanTest, RefusesSettingsWhoseOutputsCollide) {
  ThumbnailSettings no_f;
  no_f.ThumbnailNameMask = "%%f";
  ExpectRefused(SharedThumbs(), no_f, {"/p/a.jpg", "/p/b.jpg"}, "Thumbnail Image Name Mask");

  OutputSettings into = SharedThumbs();
  into.ThumbnailsIntoImageDirectory = true;
  into.ThumbnailDirectoryName = ".";
  ThumbnailSettings same;
  same.ThumbnailNameMask = "%f";
  ExpectRefused(into, same, {"/p/a.jpg"}, "would replace the image /p/./a.jpg");
  OutputSettings beside = SharedThumbs();
  beside.AllThumbnailsDirectory = "/p//";
  ExpectRefused(beside, same, {"/p/a.jpg"}, "would replace the image /p//a.jpg");

  OutputSettings split = SharedThumbs();
  split.SeparateHTML = split.SplitHTML = true;
  split.HTMLFileMask = "page.html";
  split.ThumbnailsInRow = 1;
  split.ThumbnailsInColumn = 1;
  ExpectRefused(split, {}, {"/p/a.jpg", "/p/b.jpg"}, "%n");

  OutputSettings per_dir = SharedThumbs();
  per_dir.SeparateHTML = per_dir.NewHTMLForEachDirectory = true;
  ExpectRefused(per_dir, {}, {"/p/a/x.jpg", "/p/b/y.jpg"}, "%d");
}

TEST(OutputPlanTest, AcceptsWhatCannotCollide) {
  OutputSettings split = SharedThumbs();
  split.SeparateHTML = split.SplitHTML = true;
  split.HTMLFileMask = "page.html";  // one page only
  EXPECT_NO_THROW(PlanOutputs(split, {}, false, {"/p/a.jpg", "/p/b.jpg"}, P));
  OutputSettings per_dir = SharedThumbs();
  per_dir.SeparateHTML = per_dir.NewHTMLForEachDirectory = true;
  per_dir.HTMLFileMask = "%d%n.html";
  EXPECT_NO_THROW(PlanOutputs(per_dir, {}, false, {"/p/a/x.jpg", "/p/b/y.jpg"}, P));
}

}  // namespace
}  // namespace quorvel
