// Output naming: base names, masks, page names and relative links, in both separator styles.
#include <gtest/gtest.h>

#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"

namespace quorvel {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

struct RelativeCase {
  PathStyle style;
  const char* from;
  const char* to;
  const char* expected;
};

class RelativePathTest : public ::testing::TestWithParam<RelativeCase> {};

TEST_P(RelativePathTest, GivesTheLink) {
  const RelativeCase& c = GetParam();
  EXPECT_EQ(RelativePath(c.from, c.to, c.style), c.expected) << c.from << " -> " << c.to;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RelativePathTest,
    ::testing::Values(RelativeCase{W, "C:\\out\\", "C:\\pics\\", "..\\pics\\"},
                      RelativeCase{W, "C:\\web\\gallery\\", "C:\\web\\pics\\", "..\\pics\\"},
                      RelativeCase{W, "C:\\a\\", "C:\\a\\b\\c\\", "b\\c\\"},
                      RelativeCase{W, "C:\\pics\\trip", "C:\\pics\\trip\\thumb\\", "thumb\\"},
                      RelativeCase{W, "C:\\out\\", "C:\\out", ""},
                      RelativeCase{W, "C:\\", "C:\\pics\\", "C:\\pics\\"},
                      RelativeCase{W, "C:\\a\\b\\", "C:\\", "..\\..\\"},
                      RelativeCase{W, "C:/a/b/", "C:\\a\\c", "..\\c\\"},
                      // Another drive: no relative link exists.
                      RelativeCase{W, "D:\\out\\", "C:\\pics\\", "C:\\pics\\"},
                      RelativeCase{W, "\\\\srv\\share\\a\\", "\\\\srv\\share\\b\\", "..\\b\\"},
                      RelativeCase{W, "\\\\srv\\one\\a\\", "\\\\srv\\two\\a\\", "\\\\srv\\two\\a\\"},
                      RelativeCase{P, "/out/", "/pics/", "../pics/"},
                      RelativeCase{P, "/web/gallery/", "/web/pics/", "../pics/"},
                      RelativeCase{P, "/a/", "/a/b/c/", "b/c/"},
                      RelativeCase{P, "/pics/trip", "/pics/trip/thumb/", "thumb/"},
                      RelativeCase{P, "/out/", "/out", ""},
                      RelativeCase{P, "/", "/pics/", "/pics/"},
                      RelativeCase{P, "/a/b/", "/", "../../"},
                      RelativeCase{P, "/a/B/", "/a/b/", "../b/"},
                      RelativeCase{P, "rel/a/", "rel/b/", "../b/"},
                      RelativeCase{P, "rel/", "/abs/", "/abs/"}));

TEST(BaseNameTest, StopsAtTheFirstDot) {
  EXPECT_EQ(BaseName("a.b.jpg", W), "a");
  EXPECT_EQ(BaseName("C:\\pics\\holiday.2001.jpg", W), "holiday");
  EXPECT_EQ(BaseName("C:beach.jpg", W), "beach");
  EXPECT_EQ(BaseName("/pics/holiday.2001.jpg", P), "holiday");
  EXPECT_EQ(BaseName("/pics/noext", P), "noext");
  EXPECT_EQ(BaseName("/pi.cs/x", P), "x");
}

TEST(LastPathComponentTest, IgnoresOneTrailingSeparator) {
  EXPECT_EQ(LastPathComponent("C:\\pics\\thumb\\", W), "thumb");
  EXPECT_EQ(LastPathComponent("C:\\pics\\thumb", W), "thumb");
  EXPECT_EQ(LastPathComponent("C:/pics/thumb/", W), "thumb");
  EXPECT_EQ(LastPathComponent("thumb", W), "thumb");
  EXPECT_EQ(LastPathComponent("/pics/thumb/", P), "thumb");
  EXPECT_EQ(LastPathComponent("/pics/a\\b", P), "a\\b");
}

struct MaskCase {
  const char* mask;
  const char* file;
  const char* expected;
};

TEST(ThumbnailFileNameTest, ExpandsTheMask) {
  const MaskCase cases[] = {
      {"%f_thumb", "beach.jpg", "beach_thumb.jpg"},
      {"%f_thumb", "Beach.JPG", "Beach_thumb.JPG"},
      {"%f_thumb", "holiday.2001.jpg", "holiday_thumb.jpg"},
      {"%%f", "beach.jpg", "%f.jpg"},
      {"%F%x-%f", "beach.jpg", "-beach.jpg"},
      {"t_%f%", "beach.jpeg", "t_beach.jpeg"},
      {"%f", "noext", "noext"},
  };
  for (const MaskCase& c : cases) {
    EXPECT_EQ(ThumbnailFileName(c.mask, c.file, W), c.expected) << c.mask << " " << c.file;
    EXPECT_EQ(ThumbnailFileName(c.mask, c.file, P), c.expected) << c.mask << " " << c.file;
  }
}

TEST(PageMaskTest, ExpandsEveryPlaceholder) {
  struct Case {
    const char* mask;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      {"index%3n.html", 0, "index000.html"}, {"index%3n.html", 12, "index012.html"},
      {"index%3n.html", 12345, "index12345.html"}, {"p%n.html", 7, "p7.html"},
      {"p%0n.html", 7, "p7.html"},           {"%12n", 5, "2n"},
      {"%d_%2n.htm", 3, "trip_03.htm"},      {"100%%", 0, "100%"},
      {"a%xb%", 0, "ab"},                    {"%D1n", 4, "1n"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandPageMask(c.mask, c.n, "trip"), c.expected) << c.mask;
}

TEST(PageFileNameTest, FollowsTheOutputOptions) {
  OutputSettings out;
  out.HTMLDirectory = "C:\\web\\";
  EXPECT_EQ(PageFileName(out, "C:\\pics\\trip", 3, W), "C:\\web\\index.html");
  out.SeparateHTML = true;
  EXPECT_EQ(PageFileName(out, "C:\\pics\\trip", 3, W), "C:\\web\\index.html");
  out.SplitHTML = true;
  EXPECT_EQ(PageFileName(out, "C:\\pics\\trip", 3, W), "C:\\web\\index003.html");
  out.HTMLIntoImageDirectory = true;
  EXPECT_EQ(PageFileName(out, "C:\\pics\\trip", 0, W), "C:\\pics\\trip\\index000.html");
  out.HTMLFileMask = "%d%n.html";
  EXPECT_EQ(PageFileName(out, "/pics/trip", 1, P), "/pics/trip/trip1.html");
  out.SeparateHTML = false;
  EXPECT_EQ(PageFileName(out, "/pics/trip", 1, P), "/pics/trip/index.html");
}

TEST(ThumbnailDirectoryTest, IntoImageDirectoryOrShared) {
  OutputSettings out;
  out.AllThumbnailsDirectory = "/web/thumbs/";
  EXPECT_EQ(ThumbnailDirectoryFor(out, "/pics/trip", P), "/web/thumbs/");
  out.ThumbnailsIntoImageDirectory = true;
  EXPECT_EQ(ThumbnailDirectoryFor(out, "/pics/trip", P), "/pics/trip/thumb");
  EXPECT_EQ(ThumbnailDirectoryFor(out, "C:\\pics", W), "C:\\pics\\thumb");
  EXPECT_EQ(PicturePageName("C:\\pics", "a", W), "C:\\pics\\a.html");
}

}  // namespace
}  // namespace quorvel
