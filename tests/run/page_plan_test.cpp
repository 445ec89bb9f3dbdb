// The page layout and the navigators taken from it: which images each page holds and which links
// its navigator shows, in every way pages are made (one set, per directory, in the image
// directories), at the edges of a full page.
#include "run/page_plan.h"

#include <gtest/gtest.h>

#include "run/navigators.h"
#include "support/gallery.h"
#include "support/golden.h"

namespace quorvel::testing {
namespace {

struct LayoutCase {
  std::vector<std::string> sets;         // Field=Value over 2 x 2 cells per page
  std::vector<std::string> directories;  // of the images, in run order
};

std::string Transcript(const LayoutCase& c) {
  GallerySettings settings;
  settings.Output.HTMLDirectory = "/web/";
  SetFields(settings, {"ThumbnailsInRow=2", "ThumbnailsInColumn=2"});
  SetFields(settings, c.sets);
  std::string text;
  for (const std::string& set : c.sets) text += set + " ";
  text += "on " + std::to_string(c.directories.size()) + " images:";
  for (std::size_t i = 0; i < c.directories.size(); ++i) {
    if (i == 0 || c.directories[i] != c.directories[i - 1]) text += " " + c.directories[i];
    text += "*";
  }
  const PageLayout layout = PlanPages(settings.Output, c.directories, PathStyle::Posix);
  for (const PagePlan& p : layout.pages) {
    text += "\n  " + p.path + ": images " + std::to_string(p.first_image) + ".." +
            std::to_string(p.first_image + p.image_count - 1) + ", sequence " +
            std::to_string(p.sequence) + ", navigator " + std::to_string(p.navigator);
  }
  const std::vector<std::string> navigators =
      BuildNavigators(settings.Output, layout, PathStyle::Posix);
  for (std::size_t i = 0; i < navigators.size(); ++i) {
    text += "\n  navigator " + std::to_string(i) + ": " + navigators[i];
  }
  return text + "\n";
}

std::vector<std::string> Images(std::initializer_list<std::pair<const char*, int>> runs) {
  std::vector<std::string> directories;
  for (const auto& [dir, count] : runs) directories.insert(directories.end(), count, dir);
  return directories;
}

TEST(PagePlanTest, PagesAndNavigatorsOfEveryWayOfMakingPages) {
  const std::vector<std::string> split = {"SeparateHTML=1", "SplitHTML=1"};
  const std::vector<std::string> per_directory = {"SeparateHTML=1", "NewHTMLForEachDirectory=1",
                                                  "HTMLFileMask=%d_%n.html"};
  const std::vector<std::string> both = {"SeparateHTML=1", "SplitHTML=1",
                                         "NewHTMLForEachDirectory=1", "HTMLFileMask=%d_%n.html"};
  const std::vector<std::string> beside = {"SeparateHTML=1", "SplitHTML=1",
                                           "HTMLIntoImageDirectory=1"};
  const LayoutCase cases[] = {
      // One page without a navigator: nothing to split, or splitting off.
      {{}, Images({{"/p/a", 5}, {"/p/b", 2}})},
      {split, Images({{"/p/a", 3}})},
      // A single page exactly full still gets its link; one image more makes two pages.
      {split, Images({{"/p/a", 4}})},
      {split, Images({{"/p/a", 5}})},
      {split, Images({{"/p/a", 3}, {"/p/b", 6}})},
      {per_directory, Images({{"/p/a", 5}, {"/p/b", 1}, {"/p/sub/c", 2}})},
      {both, Images({{"/p/a", 4}, {"/p/b", 5}, {"/p/c", 9}})},
      // Each image directory shows only its own pages, and none when they fit on one.
      {beside, Images({{"/p/a", 4}, {"/p/b", 5}, {"/p/c", 1}})},
      {{"SeparateHTML=1", "HTMLIntoImageDirectory=1"}, Images({{"/p/a", 5}, {"/p/b", 1}})},
      {{"SeparateHTML=0", "SplitHTML=1", "HTMLIntoImageDirectory=1"}, Images({{"/p/a", 5}})},
  };
  std::string transcript;
  for (const LayoutCase& c : cases) transcript += Transcript(c);
  EXPECT_EQ(CompareWithGolden(transcript, "run/page_layouts.txt"), "");
}

}  // namespace
}  // namespace quorvel::testing
