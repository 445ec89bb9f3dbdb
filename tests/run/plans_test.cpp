// The page layout and the navigators taken from it, in every way pages are made (one set, per
// directory, in the image directories) at the edges of a full page; and the clash check on the
// full output plan, refusing exactly when two outputs would land on one path, naming both
// sources and the setting that separates them. Both as golden transcripts.
#include <gtest/gtest.h>

#include <sstream>

#include "job/error.h"
#include "run/navigators.h"
#include "run/output_plan.h"
#include "run/page_plan.h"
#include "support/gallery.h"
#include "support/golden.h"

namespace quorvel::testing {
namespace {

// "Field=Value... on WORD...": the settings over `base` and the words after "on".
std::vector<std::string> Parse(const std::string& step, GallerySettings& settings) {
  std::istringstream words(step);
  std::vector<std::string> after;
  bool on = false;
  for (std::string word; words >> word;) {
    if (on) after.push_back(word);
    if (!on && word != "on") SetFields(settings, {word});
    on = on || word == "on";
  }
  return after;
}

// "SETS on N images: DIR*** DIR**" over 2 x 2 cells per page: the pages and their navigators.
std::string Layout(const std::string& step) {
  GallerySettings settings;
  settings.Output.HTMLDirectory = "/web/";
  SetFields(settings, {"ThumbnailsInRow=2", "ThumbnailsInColumn=2"});
  std::vector<std::string> directories;
  for (const std::string& word : Parse(step, settings)) {
    const std::size_t star = word.find('*');
    if (star != std::string::npos)
      directories.insert(directories.end(), word.size() - star, word.substr(0, star));
  }
  const PageLayout layout = PlanPages(settings.Output, directories, PathStyle::Posix);
  std::string text;
  for (const PagePlan& p : layout.pages) {
    text += "  " + p.path + ": images " + std::to_string(p.first_image) + ".." +
            std::to_string(p.first_image + p.image_count - 1) + ", sequence " +
            std::to_string(p.sequence) + ", navigator " + std::to_string(p.navigator) + "\n";
  }
  const std::vector<std::string> navigators =
      BuildNavigators(settings.Output, layout, PathStyle::Posix);
  for (std::size_t i = 0; i < navigators.size(); ++i) {
    text += "  navigator " + std::to_string(i) + ": " + navigators[i] + "\n";
  }
  return text;
}

// "SETS on IMAGE..." over split pages of one picture each: accepted, or the refusal.
std::string Clash(const std::string& step) {
  GallerySettings settings;
  settings.Output.HTMLDirectory = "/web/";
  settings.Output.AllThumbnailsDirectory = "/web/thumbs/";
  SetFields(settings,
            {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=1", "ThumbnailsInColumn=1"});
  const std::vector<std::string> images = Parse(step, settings);
  try {
    PlanOutputs(settings, images, PathStyle::Posix);
    return "  accepted";
  } catch (const Error& e) {
    return "  " + std::string(e.what());
  }
}

TEST(PlansTest, StepsGiveTheGoldenTranscripts) {
  EXPECT_EQ(ReplayGolden("run/page_layouts.txt", Layout), "");
  EXPECT_EQ(ReplayGolden("run/clashes.txt", Clash), "");
}

}  // namespace
}  // namespace quorvel::testing
