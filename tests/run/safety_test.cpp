// Where outputs land, as golden transcripts: page layouts, clashes, no write on a file the run
// does not own, links to awkward names. Leftovers of killed runs are removed, and only those.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "job/error.h"
#include "run/navigators.h"
#include "run/output_plan.h"
#include "run/page_plan.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// "links|names WORD..." runs over that library, each WORD "link:LINK=TARGET", "hard:NEW=OLD",
// "set:Field=Value" or "dir:DIRECTORY" ($TMP: the root); gives the refusal, or what it did.
std::string Step(const TranscriptStep& step) {
  TempDir tmp;
  std::vector<std::string> directories;
  const std::string& kind = step.command;
  if (kind == "links") {  // t/ with photo.jpg, index.jpg and a text named photo_thumb.jpg
    WriteTestJpeg(tmp.write("t/photo.jpg", ""), {.width = 640, .height = 480});
    WriteTestJpeg(tmp.file("t/index.jpg"), {.width = 320, .height = 240});
    tmp.write("t/photo_thumb.jpg", "not a photo, only named like one");
    WriteTestJpeg(tmp.write("mypics/photo.jpg", ""), {.width = 500, .height = 400});
    tmp.mkdir("elsewhere");
  }
  if (kind == "names") {  // folders listed for the run, a background of an awkward name
    int k = 0;
    for (const std::string photo :
         {"photos/javascript:document.title='X',x.jpg", "photos/a:b.jpg", "photos/back\\slash.jpg",
          "photos/Caf\xC3\xA9.jpg", "photos/Caf\xE9 latin1.jpg", "photos/plain.jpg",
          "javascript:alert(1)/in.jpg", "a:b/c:d.jpg", "back\\slash/x.jpg", "Caf\xC3\xA9/y.jpg",
          "Caf\xE9/z.jpg"}) {
      const std::string folder = tmp.file(photo.substr(0, photo.find('/')));
      if (directories.empty() || directories.back() != folder) directories.push_back(folder);
      WriteTestJpeg(tmp.write(photo, ""), {.width = 20 + k++, .height = 16});
    }
    tmp.write("bg:x/back\\ground.png", "background");
  }
  GallerySettings settings = GalleryInto(tmp.path(), directories);
  for (std::string word : step.words) {
    for (std::size_t at; (at = word.find("$TMP")) != std::string::npos;) {
      word.replace(at, 4, tmp.path());
    }
    const std::string what = word.substr(0, word.find(':')), rest = word.substr(what.size() + 1);
    const std::string from = tmp.file(rest.substr(0, rest.find('='))),
                      to = rest.substr(rest.find('=') + 1);
    if (what == "link" || what == "hard") fs::create_directories(fs::path(from).parent_path());
    if (what == "link") fs::create_symlink(to, from);
    if (what == "hard") fs::create_hard_link(tmp.file(to), from);
    if (what == "set") SetFields(settings, {rest});
    if (what == "dir") settings.Output.Directories.push_back(rest);
  }
  const auto before = Files(tmp.path());
  const GalleryResult r = RunGallery(settings);
  if (!r.error.empty()) {
    EXPECT_TRUE(Files(tmp.path()) == before) << "nothing is written: " << step.line;
    return WithTmp(r.error, tmp.path());
  }
  for (const auto& [path, bytes] : before)
    EXPECT_TRUE(!path.ends_with(".jpg") || ReadFile(tmp.file(path)) == bytes) << path;
  int links = 0;
  const std::string faults = BrokenLinks(tmp.path(), &links);
  return std::to_string(r.summary.images_done) + " done, " +
         std::to_string(r.summary.images_failed) + " failed, " + std::to_string(links) +
         " links\n" + WithTmp(faults, tmp.path());
}

TEST(OutputSafetyTest, StepsGiveTheGoldenTranscript) {
  EXPECT_EQ(ReplayGolden("run/output_safety.txt", Step), "");
}

// Only regular files of the form of a process that is gone (not init), in the directories the
// run writes to; the form itself is told in the platform's tests.
TEST(LeftoverTest, ARunRemovesLeftoversOfKilledRunsFromWhereItWritesAndNothingElse) {
  TempDir tmp;
  WriteTestJpeg(tmp.write("p/a.jpg", ""));
  GallerySettings settings = GalleryInto(tmp.path(), {tmp.file("p")});
  SetFields(settings, {"CreatePicturePages=1"});
  // A process id above any system's largest is never alive.
  const std::string dead = ".999999999.", alive = "." + std::to_string(::getpid());
  const std::vector<std::string> removed = {"web/.index.html" + dead + "3.0a1b2c3d.tmp",
                                            "thumbs/.a_thumb.jpg" + dead + "0.ffffffff.tmp",
                                            "p/.a.html" + dead + "1.12345678.tmp"};
  const std::vector<std::string> kept = {"web/.index.html" + alive + ".0.0a1b2c3d.tmp",
                                         "web/.index.html.1.0.0a1b2c3d.tmp", "web/notes.txt",
                                         "elsewhere/.x.jpg" + dead + "0.00000000.tmp",
                                         "web/.d" + dead + "0.00000000.tmp/inside"};
  for (const std::string& name : removed) tmp.write(name, "left by a killed run");
  for (const std::string& name : kept) tmp.write(name, "kept");
  // A link of that form is no file of a run either.
  fs::create_symlink(tmp.file("web/notes.txt"), tmp.file("web/.l" + dead + "0.00000000.tmp"));
  ASSERT_EQ(RunGallery(settings).summary.images_done, 1);
  for (const std::string& name : removed) EXPECT_FALSE(fs::exists(tmp.file(name))) << name;
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(tmp.file(name)), "kept") << name;
  EXPECT_TRUE(fs::is_symlink(tmp.file("web/.l" + dead + "0.00000000.tmp")));
}

// "Field=Value... on WORD...": the settings, pages into /web/, and the words after "on".
std::vector<std::string> Parse(const TranscriptStep& step, GallerySettings& settings) {
  settings.Output.HTMLDirectory = "/web/";
  std::vector<std::string> words = step.words, after;
  words.insert(words.begin(), step.command);
  bool on = false;
  for (const std::string& word : words) {
    if (on) after.push_back(word);
    if (!on && word != "on") SetFields(settings, {word});
    on = on || word == "on";
  }
  return after;
}

// "SETS on N images: DIR*** DIR**" over 2 x 2 cells per page: the pages and their navigators.
std::string Layout(const TranscriptStep& step) {
  GallerySettings settings;
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
  int i = 0;
  for (const std::string& navigator : BuildNavigators(settings.Output, layout, PathStyle::Posix))
    text += "  navigator " + std::to_string(i++) + ": " + navigator + "\n";
  return text;
}

// "SETS on IMAGE..." over split pages of one picture each: accepted, or the refusal.
std::string Clash(const TranscriptStep& step) {
  GallerySettings settings;
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
