// Output naming as a golden transcript (job/names.txt): relative links in both separator styles,
// one tidy spelling of what people type, masks, base names and page names.
#include <gtest/gtest.h>

#include <sstream>

#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/tidy_path.h"
#include "support/golden.h"

namespace quorvel::testing {
namespace {

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

// "link W|P FROM TO", "tidy PATH", "thumb MASK FILE" (the same in both styles), "page MASK N",
// "base W|P PATH", "last W|P PATH", "has MASK".
std::string Name(const std::string& step) {
  std::istringstream in(step);
  std::string command, a, b, c;
  in >> command >> a >> b >> c;
  const PathStyle style = a == "W" ? W : P;
  if (command == "link") return RelativePath(b, c, style);
  if (command == "tidy") return TidyPath(a, "/home/u");
  if (command == "thumb") {
    const std::string name = ThumbnailFileName(a, b, P);
    EXPECT_EQ(ThumbnailFileName(a, b, W), name);
    return name;
  }
  if (command == "page") return ExpandPageMask(a, std::stoi(b), "trip");
  if (command == "base") return BaseName(b, style);
  if (command == "last") return LastPathComponent(b, style);
  if (command == "has") return MaskHasPlaceholder(a, 'n') ? "has %n" : "no %n";
  ADD_FAILURE() << step;
  return "";
}

TEST(NamingTest, StepsGiveTheGoldenTranscript) {
  EXPECT_EQ(ReplayGolden("job/names.txt", Name), "");
}

// The output directories are tidied as a run and quorvel-batch meet them, in their tests.
TEST(NamingTest, PagesAndThumbnailDirectoriesInBothStyles) {
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
