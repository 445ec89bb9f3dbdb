// Output naming: relative links in both separator styles, one tidy spelling of what people type,
// masks, base names and page names; what each call gives is kept in job/names.txt.
#include <gtest/gtest.h>

#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/tidy_path.h"
#include "support/golden.h"

namespace quorvel::testing {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

std::string Line(const std::string& call, const std::string& result) {
  return call + " = " + result + "\n";
}

TEST(NamingTest, NamesAsKept) {
  // clang-format off
  const std::tuple<PathStyle, const char*, const char*> links[] = {
      {W, "C:\\out\\", "C:\\pics\\"}, {W, "C:\\a\\", "C:\\a\\b\\c\\"}, {W, "C:\\out\\", "C:\\out"},
      {W, "C:\\web\\gallery\\", "C:\\web\\pics\\"}, {W, "C:\\", "C:\\pics\\"},
      {W, "C:\\pics\\trip", "C:\\pics\\trip\\thumb\\"}, {W, "C:\\a\\b\\", "C:\\"},
      {W, "C:/a/b/", "C:\\a\\c"}, {W, "D:\\out\\", "C:\\pics\\"},  // no link to another drive
      {W, "\\\\srv\\share\\a\\", "\\\\srv\\share\\b\\"},
      {W, "\\\\srv\\one\\a\\", "\\\\srv\\two\\a\\"},
      {P, "/pics/trip", "/pics/trip/thumb/"}, {P, "/", "/pics/"}, {P, "/a/b/", "/"},
      {P, "/a/B/", "/a/b/"}, {P, "rel/a/", "rel/b/"}, {P, "rel/", "/abs/"}};
  const char* typed[] = {"./p/", "..", "../../../..", "a//b", "a/./b", "a/../b", "/x/link/..",
                         "//", ""};
  const std::pair<const char*, const char*> thumbnails[] = {
      {"%f_thumb", "Beach.JPG"}, {"%f_thumb", "a.2001.jpg"}, {"%%f", "beach.jpg"},
      {"%F%x-%f", "beach.jpg"}, {"t_%f%", "beach.jpeg"}, {"%f", "noext"}};
  const std::pair<const char*, int> pages[] = {
      {"index%3n.html", 12}, {"index%3n.html", 12345}, {"p%n.html", 7}, {"p%0n.html", 7},
      {"%12n", 5}, {"%d_%2n.htm", 3}, {"100%%", 0}, {"a%xb%", 0}};
  // clang-format on
  std::string text;
  for (const auto& [style, from, to] : links) {
    text += Line(std::string(from) + " -> " + to, RelativePath(from, to, style));
  }
  for (const char* path : typed) {
    text += Line(std::string("tidy ") + path, TidyPath(path, "/home/u"));
  }
  for (const auto& [mask, file] : thumbnails) {
    const std::string name = ThumbnailFileName(mask, file, P);
    EXPECT_EQ(ThumbnailFileName(mask, file, W), name);
    text += Line(std::string(mask) + " " + file, name);
  }
  for (const auto& [mask, n] : pages) {
    text += Line(mask + (" " + std::to_string(n)), ExpandPageMask(mask, n, "trip"));
  }
  EXPECT_EQ(CompareWithGolden(text, "job/names.txt"), "");
}

// The output directories are tidied as a run and quorvel-batch meet them, in their tests.
TEST(NamingTest, BaseNamesAndPagesInBothStyles) {
  EXPECT_EQ(BaseName("C:beach.2001.jpg", W), "beach");
  EXPECT_EQ(LastPathComponent("C:/pics/thumb\\", W), "thumb");
  EXPECT_EQ(LastPathComponent("/pics/a\\b/", P), "a\\b");
  EXPECT_TRUE(MaskHasPlaceholder("a%3n", 'n'));
  EXPECT_FALSE(MaskHasPlaceholder("a%%n%d", 'n'));
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
}  // namespace quorvel::testing
