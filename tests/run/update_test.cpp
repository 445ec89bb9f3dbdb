// Update mode keeps only what is still current. Every option that changes a thumbnail's pixels
// is seen: an exact run remakes the thumbnails a fast run decoded at a reduced scale (a fast run
// keeps exact ones), and a change of the turn is seen even where the size stays (a square
// photo, a mirror). Over the web-ready outputs, each of a photo's thumbnail, 2x thumbnail and
// display copy is kept while its header says it is current and remade alone when it is not.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/web_gallery.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

int Made(const GallerySettings& settings, const ImagingOptions& imaging = {}) {
  return RunGallery(settings, imaging).summary.thumbnails_made;
}

TEST(UpdateModeTest, KeepsOnlyThumbnailsThatAreStillCurrent) {
  TempDir tmp;
  const GallerySettings settings = GalleryInto(tmp.path(), MakeAwkwardLibrary(tmp));
  ASSERT_EQ(Made(settings), 13);
  EXPECT_EQ(Made(settings), 0);
  // An edited photo of the same size: only its newer time tells.
  WriteTestJpeg(tmp.file("photos/zebra.jpeg"), {.width = 105, .height = 48, .quality = 40});
  EXPECT_EQ(Made(settings), 1);
  // Only the phone's photo has an orientation and a profile to leave out.
  EXPECT_EQ(Made(settings, {.apply_orientation = false}), 1);
  EXPECT_EQ(Made(settings, {.keep_color_profile = false}), 1);
  EXPECT_EQ(Made(settings), 1);
  const std::vector<std::string> changes[] = {{"Quality=61"},
                                              {"ThumbnailWidth=60", "ThumbnailHeight=60"},
                                              {"Grayscale=1"},
                                              {"UpdateHTML=0"}};
  for (const auto& change : changes) {
    GallerySettings changed = settings;
    SetFields(changed, change);
    EXPECT_EQ(Made(changed), 13);
    EXPECT_EQ(Made(changed), changed.Output.UpdateHTML ? 0 : 13);
    EXPECT_EQ(Made(settings), changed.Output.UpdateHTML ? 13 : 0);
  }
}

// big.jpg is reduced in fast mode; square.jpg and mirrored.jpg keep their size when turned.
GallerySettings Photos(const TempDir& tmp) {
  WriteTestJpeg(tmp.write("photos/big.jpg", ""), {.width = 640, .height = 480});
  WriteTestJpeg(tmp.file("photos/square.jpg"),
                {.width = 90, .height = 90, .exif = ExifWithOrientation(6)});
  WriteTestJpeg(tmp.file("photos/mirrored.jpg"),
                {.width = 80, .height = 50, .exif = ExifWithOrientation(2, true)});
  return GalleryInto(tmp.path(), {tmp.file("photos")});
}

TEST(CurrentThumbnailTest, FastAndUnturnedThumbnailsAreRemadeByAnExactRun) {
  TempDir tmp, fresh;
  const GallerySettings settings = Photos(tmp);
  const std::pair<ImagingOptions, int> runs[] = {
      {{.fast = true}, 3},
      {{}, 1},  // only big.jpg was decoded at a reduced scale
      {{.fast = true}, 0},
      {{.apply_orientation = false}, 2},
      {{.apply_orientation = false}, 0},
      {{}, 2},
      {{}, 0}};
  for (const auto& [imaging, made] : runs) EXPECT_EQ(Made(settings, imaging), made);
  // In the end the thumbnails are byte for byte those of a fresh default run.
  RunGallery(Photos(fresh));
  EXPECT_TRUE(Files(tmp.file("thumbs")) == Files(fresh.file("thumbs")));
}

struct Stamp {
  std::string bytes;
  fs::file_time_type time;
  bool operator==(const Stamp&) const = default;
};

using Stamps = std::map<std::string, Stamp>;  // by path below the library's root

// The images the run made: thumbnails and 2x thumbnails in thumbs/, display copies beside the
// photo pages.
Stamps OutputsOf(const TempDir& tmp) {
  Stamps stamps;
  for (const char* dir : {"thumbs", "web/photos"}) {
    for (const auto& entry : fs::directory_iterator(tmp.file(dir))) {
      if (entry.path().extension() == ".html") continue;
      const std::string path = entry.path().string();
      stamps[path.substr(tmp.path().size() + 1)] = {ReadFile(path), fs::last_write_time(path)};
    }
  }
  return stamps;
}

std::set<std::string> Changed(const Stamps& before, const Stamps& after) {
  std::set<std::string> changed;
  for (const auto& [name, stamp] : after) {
    if (!before.contains(name) || before.at(name) != stamp) changed.insert(name);
  }
  for (const auto& [name, stamp] : before) {
    if (!after.contains(name)) changed.insert(name);
  }
  return changed;
}

std::set<std::string> Below(const Stamps& stamps, const std::string& dir) {
  std::set<std::string> names;
  for (const auto& [name, stamp] : stamps) {
    if (name.starts_with(dir)) names.insert(name);
  }
  return names;
}

TEST(WebUpdateTest, EachOutputIsKeptWhileCurrentAndRemadeAlone) {
  TempDir tmp;
  const GallerySettings settings = AwkwardWebGallery(tmp);
  // Large enough for a fast run to decode at half scale.
  WriteTestJpeg(tmp.file("photos/big.jpg"), {.width = 800, .height = 600});
  Stamps outputs;
  RunSummary summary;
  // Runs with `sets` on top of the settings; what changed among the outputs.
  const auto run = [&](const std::vector<std::string>& sets, bool fast = false) {
    GallerySettings changed = settings;
    SetFields(changed, sets);
    const fs::file_time_type mark = fs::file_time_type::clock::now() + std::chrono::hours(1);
    for (auto& [name, stamp] : outputs) {
      fs::last_write_time(tmp.file(name), mark);
      stamp.time = fs::last_write_time(tmp.file(name));
    }
    const Stamps before = outputs;
    summary = RunGallery(changed, {.fast = fast}).summary;
    outputs = OutputsOf(tmp);
    return Changed(before, outputs);
  };
  run({});
  ASSERT_EQ(summary.thumbnails_made, 14);
  ASSERT_EQ(outputs.size(), 3u * 14);
  const std::set<std::string> display_copies = Below(outputs, "web/photos/");
  const std::set<std::string> thumbnails = Below(outputs, "thumbs/");
  ASSERT_EQ(display_copies.size(), 14u);

  EXPECT_EQ(run({}), std::set<std::string>());
  EXPECT_EQ(std::tie(summary.thumbnails_made, summary.pages_written, summary.pages_unchanged),
            std::make_tuple(0, 0, 1 + 14));

  const std::vector<std::string> quality = {"DisplayQuality=70"};
  EXPECT_EQ(run(quality), display_copies);
  EXPECT_EQ(summary.thumbnails_made, 14);

  const std::vector<std::string> box = {"DisplayQuality=70", "ThumbnailWidth=60",
                                        "ThumbnailHeight=60"};
  EXPECT_EQ(run(box), thumbnails);

  // A fast run keeps what an exact one made; only the big photo is decoded at a reduced scale,
  // so only its display copy is marked fast and remade by the exact run after.
  EXPECT_EQ(run(box, true), std::set<std::string>());
  std::vector<std::string> fast_quality = box;
  fast_quality.push_back("DisplayQuality=75");
  EXPECT_EQ(run(fast_quality, true), display_copies);
  EXPECT_EQ(run(fast_quality), std::set<std::string>{"web/photos/big.jpg"});
  EXPECT_EQ(summary.thumbnails_made, 1);

  fs::remove(tmp.file("web/photos/zebra.jpg"));
  outputs.erase("web/photos/zebra.jpg");
  EXPECT_EQ(run(fast_quality), std::set<std::string>{"web/photos/zebra.jpg"});
  EXPECT_EQ(std::tie(summary.thumbnails_made, summary.pages_written), std::make_tuple(1, 0));
}

}  // namespace
}  // namespace quorvel::testing
