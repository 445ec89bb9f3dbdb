// Output naming: base names, masks, page names, relative links in both separator styles, and
// directories as people type them made into one tidy spelling.
#include <gtest/gtest.h>

#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/tidy_path.h"

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

TEST(RelativePathTest, GivesTheLink) {
  // clang-format off
  const RelativeCase cases[] = {
      {W, "C:\\out\\", "C:\\pics\\", "..\\pics\\"},       {W, "C:\\a\\", "C:\\a\\b\\c\\", "b\\c\\"},
      {W, "C:\\web\\gallery\\", "C:\\web\\pics\\", "..\\pics\\"},
      {W, "C:\\pics\\trip", "C:\\pics\\trip\\thumb\\", "thumb\\"},
      {W, "C:\\out\\", "C:\\out", ""},                   {W, "C:\\", "C:\\pics\\", "C:\\pics\\"},
      {W, "C:\\a\\b\\", "C:\\", "..\\..\\"},             {W, "C:/a/b/", "C:\\a\\c", "..\\c\\"},
      {W, "D:\\out\\", "C:\\pics\\", "C:\\pics\\"},  // another drive: no relative link exists
      {W, "\\\\srv\\share\\a\\", "\\\\srv\\share\\b\\", "..\\b\\"},
      {W, "\\\\srv\\one\\a\\", "\\\\srv\\two\\a\\", "\\\\srv\\two\\a\\"},
      {P, "/pics/trip", "/pics/trip/thumb/", "thumb/"}, {P, "/", "/pics/", "/pics/"},
      {P, "/a/b/", "/", "../../"},  {P, "/a/B/", "/a/b/", "../b/"},  {P, "rel/a/", "rel/b/", "../b/"},
      {P, "rel/", "/abs/", "/abs/"}};
  // clang-format on
  for (const RelativeCase& c : cases) {
    EXPECT_EQ(RelativePath(c.from, c.to, c.style), c.expected) << c.from << " -> " << c.to;
  }
}

TEST(TidyPathTest, OneSpellingPerDirectory) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"./p/", "/home/u/p"},  {"..", "/home"},   {"../../../..", "/"},  {"a//b", "/home/u/a/b"},
      {"a/./b", "/home/u/a/b"}, {"a/../b", "/home/u/b"}, {"/x/link/..", "/x"}, {"//", "/"}, {"", ""}};
  // clang-format on
  for (const auto& [typed, tidy] : cases) EXPECT_EQ(TidyPath(typed, "/home/u"), tidy) << typed;
  EXPECT_EQ(TidyDirectorySetting("../web", "/home/u/p"), "/home/u/web/");
  OutputSettings out;
  out.HTMLDirectory = "web";
  out.Directories = {"p", "./p/", "/"};
  TidyOutputDirectories(out, "/u");
  EXPECT_EQ(out.HTMLDirectory, "/u/web/");
  EXPECT_EQ(out.AllThumbnailsDirectory, "");
  EXPECT_EQ(out.Directories, (std::vector<std::string>{"/u/p", "/u/p", "/"}));
}

TEST(NameTest, MasksBaseNamesAndComponents) {
  const std::tuple<const char*, const char*, const char*> thumbnails[] = {
      {"%f_thumb", "Beach.JPG", "Beach_thumb.JPG"},
      {"%f_thumb", "a.2001.jpg", "a_thumb.jpg"},
      {"%%f", "beach.jpg", "%f.jpg"},
      {"%F%x-%f", "beach.jpg", "-beach.jpg"},
      {"t_%f%", "beach.jpeg", "t_beach.jpeg"},
      {"%f", "noext", "noext"}};
  for (const auto& [mask, file, expected] : thumbnails) {
    EXPECT_EQ(ThumbnailFileName(mask, file, W), expected) << mask << " " << file;
    EXPECT_EQ(ThumbnailFileName(mask, file, P), expected) << mask << " " << file;
  }
  const std::tuple<const char*, int, const char*> pages[] = {
      {"index%3n.html", 12, "index012.html"},
      {"index%3n.html", 12345, "index12345.html"},
      {"p%n.html", 7, "p7.html"},
      {"p%0n.html", 7, "p7.html"},
      {"%12n", 5, "2n"},
      {"%d_%2n.htm", 3, "trip_03.htm"},
      {"100%%", 0, "100%"},
      {"a%xb%", 0, "ab"}};
  for (const auto& [mask, n, expected] : pages) {
    EXPECT_EQ(ExpandPageMask(mask, n, "trip"), expected) << mask;
  }
  EXPECT_EQ(BaseName("C:beach.2001.jpg", W), "beach");
  EXPECT_EQ(LastPathComponent("C:/pics/thumb\\", W), "thumb");
  EXPECT_EQ(LastPathComponent("/pics/a\\b/", P), "a\\b");
  EXPECT_TRUE(MaskHasPlaceholder("a%3n", 'n'));
  EXPECT_FALSE(MaskHasPlaceholder("a%%n%d", 'n'));
}

TEST(OutputNamesTest, PagesAndThumbnailDirectories) {
  OutputSettings out;
  out.HTMLDirectory = "C:\\web\\";
  out.SeparateHTML = out.SplitHTML = true;
  EXPECT_EQ(PageFileName(out, "C:\\pics\\trip", 3, W), "C:\\web\\index003.html");
  out.ThumbnailsIntoImageDirectory = true;
  EXPECT_EQ(ThumbnailDirectoryFor(out, "C:\\pics", W), "C:\\pics\\thumb");
  out.ThumbnailDirectoryName = "../thumbs/.";
  EXPECT_EQ(ThumbnailDirectoryFor(out, "/pics/trip", P), "/pics/thumbs");
}

}  // namespace
}  // namespace quorvel
