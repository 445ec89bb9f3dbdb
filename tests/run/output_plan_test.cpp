// The clash check on the full output plan: refused exactly when two outputs would land on one
// path, naming both sources and the setting that separates them.
#include "run/output_plan.h"

#include <gtest/gtest.h>

#include "job/error.h"
#include "support/gallery.h"
#include "support/golden.h"

namespace quorvel::testing {
namespace {

struct ClashCase {
  std::vector<std::string> sets;  // Field=Value, over split pages of one picture each
  std::vector<std::string> images;
};

TEST(OutputPlanTest, RefusesExactlyWhatWouldClash) {
  const ClashCase cases[] = {
      {{"ThumbnailNameMask=%%f"}, {"/p/a.jpg", "/p/b.jpg"}},
      {{"ThumbnailsIntoImageDirectory=1", "ThumbnailDirectoryName=.", "ThumbnailNameMask=%f"},
       {"/p/a.jpg"}},
      {{"SeparateHTML=0", "HTMLFileName=a.jpg", "HTMLDirectory=/p/"}, {"/p/a.jpg"}},
      {{"HTMLFileMask=page.html"}, {"/p/a.jpg", "/p/b.jpg"}},
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=index%n.html"}, {"/p/a/x.jpg", "/p/b/y.jpg"}},
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=%d%n.html"}, {"/a/pics/x.jpg", "/b/pics/y.jpg"}},
      {{"SeparateHTML=0", "HTMLIntoImageDirectory=1", "CreatePicturePages=1"}, {"/p/index.jpg"}},
      // Every page sequence fits on one page: a mask without "%n" cannot clash.
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=%d.html"}, {"/p/a/x.jpg", "/p/b/y.jpg"}},
      {{"HTMLFileMask=page.html", "ThumbnailsInRow=2"}, {"/p/a.jpg", "/p/b.jpg"}},
  };
  std::string transcript;
  for (const auto& [sets, images] : cases) {
    GallerySettings settings;
    settings.Output.HTMLDirectory = "/web/";
    settings.Output.AllThumbnailsDirectory = "/web/thumbs/";
    SetFields(settings,
              {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=1", "ThumbnailsInColumn=1"});
    SetFields(settings, sets);
    for (const std::string& text : sets) transcript += text + " ";
    transcript += "on";
    for (const std::string& image : images) transcript += " " + image;
    try {
      PlanOutputs(settings, images, PathStyle::Posix);
      transcript += "\n  accepted\n";
    } catch (const Error& e) {
      transcript += "\n  " + std::string(e.what()) + "\n";
    }
  }
  EXPECT_EQ(CompareWithGolden(transcript, "run/clashes.txt"), "");
}

}  // namespace
}  // namespace quorvel::testing
