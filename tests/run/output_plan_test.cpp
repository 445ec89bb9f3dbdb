// The clash check on the full output plan: refused exactly when two outputs would land on one
// path, naming both sources and the setting that separates them.
#include "run/output_plan.h"

#include <gtest/gtest.h>

#include "job/error.h"
#include "support/gallery.h"

namespace quorvel::testing {
namespace {

struct ClashCase {
  std::vector<std::string> sets;  // Field=Value
  std::vector<std::string> images;
  std::string refusal;  // a part of it; "" when accepted
};

TEST(OutputPlanTest, RefusesExactlyWhatWouldClash) {
  const ClashCase cases[] = {
      {{"ThumbnailNameMask=%%f"},
       {"/p/a.jpg", "/p/b.jpg"},
       "The thumbnail of /p/a.jpg and the thumbnail of /p/b.jpg would both be written to "
       "/web/thumbs/%f.jpg: put \"%f\" into the Thumbnail Image Name Mask (ThumbnailNameMask)."},
      {{"ThumbnailsIntoImageDirectory=1", "ThumbnailDirectoryName=.", "ThumbnailNameMask=%f"},
       {"/p/a.jpg"},
       "The thumbnail of /p/a.jpg would replace the image /p/a.jpg: change the Thumbnail Image"},
      {{"SeparateHTML=0", "HTMLFileName=a.jpg", "HTMLDirectory=/p/"},
       {"/p/a.jpg"},
       "The index page 1 would replace the image /p/a.jpg: change the HTML File's Name"},
      {{"HTMLFileMask=page.html"},
       {"/p/a.jpg", "/p/b.jpg"},
       "The index page 1 and the index page 2 would both be written to /web/page.html: put \"%n\" "
       "into the HTML File's Mask (HTMLFileMask)."},
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=index%n.html"},
       {"/p/a/x.jpg", "/p/b/y.jpg"},
       "The index page 1 of /p/a and the index page 1 of /p/b would both be written to "
       "/web/index0.html: put \"%d\""},
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=%d%n.html"},
       {"/a/pics/x.jpg", "/b/pics/y.jpg"},
       "/a/pics and the index page 1 of /b/pics would both be written to /web/pics0.html: turn "
       "on \"Put HTMLs Into Image's directory\""},
      {{"SeparateHTML=0", "HTMLIntoImageDirectory=1", "CreatePicturePages=1"},
       {"/p/index.jpg"},
       "The index page 1 of /p and the picture page of /p/index.jpg would both be written to "
       "/p/index.html: change the HTML File's Name (HTMLFileName)."},
      // Every page sequence fits on one page: a mask without "%n" cannot clash.
      {{"NewHTMLForEachDirectory=1", "HTMLFileMask=%d.html"}, {"/p/a/x.jpg", "/p/b/y.jpg"}, ""},
      {{"HTMLFileMask=page.html", "ThumbnailsInRow=2"}, {"/p/a.jpg", "/p/b.jpg"}, ""},
  };
  for (const ClashCase& c : cases) {
    GallerySettings settings;
    settings.Output.HTMLDirectory = "/web/";
    settings.Output.AllThumbnailsDirectory = "/web/thumbs/";
    SetFields(settings,
              {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=1", "ThumbnailsInColumn=1"});
    SetFields(settings, c.sets);
    std::string refusal;
    try {
      PlanOutputs(settings, c.images, PathStyle::Posix);
    } catch (const Error& e) {
      refusal = e.what();
    }
    EXPECT_EQ(refusal.empty(), c.refusal.empty()) << refusal;
    EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
  }
}

}  // namespace
}  // namespace quorvel::testing
