// Update mode keeps only what is still current. Every option that changes a thumbnail's pixels
// is seen: an exact run remakes the thumbnails a fast run decoded at a reduced scale (a fast run
// keeps exact ones), and a change of the turn is seen even where the size stays (a square
// photo, a mirror); so is a photo edited. Over the web-ready outputs, each of a photo's thumbnail,
// 2x thumbnail and display copy is kept while its header says it is current and remade alone when
// it is not.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <tuple>
#include <utility>

#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/web_gallery.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// The awkward library and turned/: big.jpg, reduced in fast mode; square.jpg and mirrored.jpg,
// which keep their size when turned.
GallerySettings Library(const TempDir& tmp) {
  GallerySettings settings = GalleryInto(tmp.path(), MakeAwkwardLibrary(tmp));
  WriteTestJpeg(tmp.write("turned/big.jpg", ""), {.width = 640, .height = 480});
  WriteTestJpeg(tmp.file("turned/square.jpg"),
                {.width = 90, .height = 90, .exif = ExifWithOrientation(6)});
  WriteTestJpeg(tmp.file("turned/mirrored.jpg"),
                {.width = 80, .height = 50, .exif = ExifWithOrientation(2, true)});
  settings.Output.Directories.push_back(tmp.file("turned"));
  return settings;
}

TEST(UpdateModeTest, KeepsOnlyThumbnailsThatAreStillCurrent) {
  TempDir tmp, fresh;
  const GallerySettings settings = Library(tmp);
  const auto made = [&](const std::vector<std::string>& sets, const ImagingOptions& imaging) {
    GallerySettings changed = settings;
    SetFields(changed, sets);
    return RunGallery(changed, imaging).summary.thumbnails_made;
  };
  const std::tuple<std::vector<std::string>, ImagingOptions, int> runs[] = {
      {{}, {.fast = true}, 16},
      {{}, {}, 1},  // only big.jpg was decoded at a reduced scale
      {{}, {.fast = true}, 0},
      // The turn is seen where the size stays; only the phone's photo has a profile to leave out.
      {{}, {.apply_orientation = false}, 3},
      {{}, {.apply_orientation = false}, 0},
      {{}, {}, 3},
      {{}, {.keep_color_profile = false}, 1},
      {{}, {}, 1},
      {{}, {}, 0}};
  for (const auto& [sets, imaging, count] : runs) EXPECT_EQ(made(sets, imaging), count);
  // The thumbnails are byte for byte those of a fresh default run.
  RunGallery(Library(fresh));
  EXPECT_TRUE(Files(tmp.file("thumbs")) == Files(fresh.file("thumbs")));
  // An edited photo of the same size: only its newer time tells.
  WriteTestJpeg(tmp.file("photos/zebra.jpeg"), {.width = 105, .height = 48, .quality = 40});
  EXPECT_EQ(made({}, {}), 1);
  for (const std::vector<std::string>& change : std::vector<std::vector<std::string>>{
           {"Quality=61"}, {"ThumbnailWidth=60", "ThumbnailHeight=60"}, {"Grayscale=1"}}) {
    EXPECT_EQ(made(change, {}), 16);
    EXPECT_EQ(made(change, {}), 0);
    EXPECT_EQ(made({}, {}), 16);
  }
  EXPECT_EQ(made({"UpdateHTML=0"}, {}), 16);
  EXPECT_EQ(made({"UpdateHTML=0"}, {}), 16);
  EXPECT_EQ(made({}, {}), 0);
}

// The bytes and time of each image the run made, by its path below the library's root:
// thumbnails and 2x thumbnails in thumbs/, display copies beside the photo pages.
using Stamps = std::map<std::string, std::pair<std::string, fs::file_time_type>>;

Stamps OutputsOf(const TempDir& tmp) {
  Stamps stamps;
  for (const char* dir : {"thumbs", "web/photos"}) {
    for (const auto& entry : fs::directory_iterator(tmp.file(dir))) {
      const std::string path = entry.path().string();
      if (entry.path().extension() != ".html") {
        stamps[path.substr(tmp.path().size() + 1)] = {ReadFile(path), fs::last_write_time(path)};
      }
    }
  }
  return stamps;
}

// Before each run every output gets a time of its own in the future (still newer than its
// photo), so that a file written again shows, even with the same bytes.
TEST(WebUpdateTest, EachOutputIsKeptWhileCurrentAndRemadeAlone) {
  TempDir tmp;
  const GallerySettings settings = AwkwardWebGallery(tmp);
  // Large enough for a fast run to decode at half scale.
  WriteTestJpeg(tmp.file("photos/big.jpg"), {.width = 800, .height = 600});
  ASSERT_EQ(RunGallery(settings).summary.thumbnails_made, 14);
  Stamps outputs = OutputsOf(tmp);
  ASSERT_EQ(outputs.size(), 3u * 14);
  RunSummary summary;
  // Runs with `sets` on top of the settings; the outputs that changed, a folder's worth named
  // by the folder.
  const auto run = [&](const std::vector<std::string>& sets, bool fast) {
    GallerySettings changed = settings;
    SetFields(changed, sets);
    const auto mark = fs::file_time_type::clock::now() + std::chrono::hours(1);
    for (auto& [name, stamp] : outputs) {
      fs::last_write_time(tmp.file(name), mark);
      stamp.second = fs::last_write_time(tmp.file(name));
    }
    summary = RunGallery(changed, {.fast = fast}).summary;
    const Stamps before = std::exchange(outputs, OutputsOf(tmp));
    std::map<std::string, std::pair<std::string, int>> folders;  // changed names, left alone
    for (const auto& [name, stamp] : outputs) {
      auto& [changed, kept] = folders[name.substr(0, name.rfind('/') + 1)];
      if (before.contains(name) && before.at(name) == stamp) {
        ++kept;
      } else {
        changed += name + " ";
      }
    }
    std::string names;
    for (const auto& [folder, changes] : folders) {
      names += changes.second == 0 ? folder + " " : changes.first;
    }
    return names;
  };
  const std::vector<std::string> box = {"DisplayQuality=70", "ThumbnailWidth=60",
                                        "ThumbnailHeight=60"};
  std::vector<std::string> fast_quality = box;
  fast_quality.push_back("DisplayQuality=75");
  const std::tuple<std::vector<std::string>, bool, const char*, int> runs[] = {
      {{}, false, "", 0},
      {{"DisplayQuality=70"}, false, "web/photos/ ", 14},
      {box, false, "thumbs/ ", 14},
      // A fast run keeps what an exact one made; only the big photo is decoded at a reduced
      // scale, so only its display copy is marked fast and remade by the exact run after.
      {box, true, "", 0},
      {fast_quality, true, "web/photos/ ", 14},
      {fast_quality, false, "web/photos/big.jpg ", 1}};
  for (const auto& [sets, fast, changed, made] : runs) {
    EXPECT_EQ(run(sets, fast), changed);
    EXPECT_EQ(summary.thumbnails_made, made);
    if (sets.empty()) {
      EXPECT_EQ(std::tie(summary.pages_written, summary.pages_unchanged), std::make_tuple(0, 15));
    }
  }
  fs::remove(tmp.file("web/photos/zebra.jpg"));
  outputs.erase("web/photos/zebra.jpg");
  EXPECT_EQ(run(fast_quality, false), "web/photos/zebra.jpg ");
  EXPECT_EQ(std::tie(summary.thumbnails_made, summary.pages_written), std::make_tuple(1, 0));
}

}  // namespace
}  // namespace quorvel::testing
