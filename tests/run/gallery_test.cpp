// The run over the awkward library, case by case: golden pages, links that stay inside what is
// served, web outputs as the reference renders them, one decode per photo, four workers writing
// the bytes of one. Update mode keeps only what is still current, as a transcript.
#include "support/gallery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "imaging/jpeg_header.h"
#include "platform/file_system.h"
#include "run/output_plan.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/web_gallery.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

struct GalleryCase {
  const char* name;
  int web;  // 1: the web-ready set, display copies of at most 100 pixels; 2: also other formats
  std::vector<std::string> sets;    // Field=Value; "$" stands for the library's root
  std::vector<std::string> served;  // below the root, where every link stays
};

void PrintTo(const GalleryCase& c, std::ostream* out) { *out << c.name; }

GallerySettings Library(const TempDir& tmp, const GalleryCase& c) {
  GallerySettings settings =
      c.web ? AwkwardWebGallery(tmp) : GalleryInto(tmp.path(), MakeAwkwardLibrary(tmp));
  if (c.web == 2) settings.Output.Directories.push_back(MakeFormatsLibrary(tmp));
  for (std::string set : c.sets) {
    if (const std::size_t at = set.find('$'); at != std::string::npos)
      set.replace(at, 1, tmp.path());
    SetFields(settings, {set});
  }
  return settings;
}

// Every regular file below `root` by its canonical path (links to directories not followed).
std::set<fs::path> FilesBelow(const std::string& root) {
  std::set<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.insert(fs::canonical(entry.path()));
  }
  return files;
}

// The summary and the pages.
std::string SummaryText(const GalleryResult& r, const std::string& root) {
  const RunSummary& s = r.summary;
  std::string text = std::to_string(s.images_done) + " done, " + std::to_string(s.images_failed) +
                     " failed, " + std::to_string(s.thumbnails_made) + " made, " +
                     std::to_string(s.pages_written) + " pages written:\n";
  for (const std::string& page : r.pages) text += page + "\n";
  for (const ImageFailure& f : s.failures) text += f.path + ": " + f.message + "\n";
  return WithTmp(text + s.page_error, root);
}

// Runs the case's library with `jobs` workers, then again over outputs all current, which opens
// each photo for its header alone: what the first run opened beyond that are its decodes, one
// per photo for all its outputs, none of a broken photo. `sources`: the files there before.
GalleryResult RunCountingDecodes(const TempDir& tmp, const GalleryCase& c, int jobs,
                                 std::set<fs::path>& sources) {
  static std::mutex mutex;
  static std::map<std::string, int> opens;  // the times each file was opened for reading
  const GallerySettings settings = Library(tmp, c);
  sources = FilesBelow(tmp.path());
  platform::SetReadOpenHookForTesting([](const std::string& path) {
    const std::lock_guard lock(mutex);
    ++opens[path];
  });
  const GalleryResult r = RunGallery(settings, {.jobs = jobs});
  const std::map<std::string, int> first = std::exchange(opens, {});
  RunGallery(settings, {.jobs = jobs});
  platform::SetReadOpenHookForTesting(nullptr);
  int photos = 0;
  for (const auto& [path, count] : first) {
    if (!sources.contains(path) || path.ends_with("bg.png")) continue;
    const bool broken = !std::count(r.images.begin(), r.images.end(), path);
    EXPECT_EQ(count - opens[path], broken ? 0 : 1) << path << " with " << jobs << " workers";
    ++photos;
  }
  opens.clear();
  EXPECT_EQ(photos, c.web == 2 ? 13 + 9 : 13);  // all but the photo reached through a link
  return r;
}

class GalleryCaseTest : public ::testing::TestWithParam<GalleryCase> {};

TEST_P(GalleryCaseTest, PagesAreGoldenStandaloneAndTrueToTheirImages) {
  const GalleryCase& c = GetParam();
  TempDir one, four;
  std::set<fs::path> sources, four_sources;
  const GalleryResult r = RunCountingDecodes(one, c, 1, sources);
  ASSERT_EQ(r.error, "");
  const std::string golden = std::string("run/") + c.name + "/";
  EXPECT_EQ(CompareWithGolden(SummaryText(r, one.path()), golden + "summary.txt"), "");
  const OutputPlan plan = PlanOutputs(r.settings, r.images, PathStyle::Posix);
  std::vector<std::string> planned;
  for (const PagePlan& p : plan.layout.pages) planned.push_back(p.path);
  EXPECT_EQ(r.pages, planned);
  std::set<fs::path> made, index_pages;
  for (const std::string& page : r.pages) {
    EXPECT_EQ(CompareWithGolden(ReadFile(page), golden + page.substr(one.path().size() + 1)), "");
    index_pages.insert(fs::canonical(page));
  }
  std::string other_pages;
  const std::size_t root = fs::canonical(one.path()).string().size() + 1;
  for (const fs::path& file : FilesBelow(one.path())) {
    if (sources.contains(file)) continue;
    made.insert(file);
    if (file.extension() != ".html" || index_pages.contains(file)) continue;
    other_pages += "== " + file.string().substr(root) + "\n" + ReadFile(file.string());
  }
  EXPECT_EQ(CompareWithGolden(other_pages, golden + "photo_pages.txt"), "");

  std::vector<std::string> served;
  for (const std::string& dir : c.served) served.push_back(fs::canonical(one.file(dir)));
  const bool linked = !c.web || r.settings.Web.Originals == 2;
  int links = 0, to_photos = 0;
  const auto allowed = [&](const std::string& target) {
    if (linked && sources.contains(target)) return ++to_photos > 0;
    return made.contains(target) && std::any_of(served.begin(), served.end(), [&](auto& dir) {
             return target.starts_with(dir + "/");
           });
  };
  EXPECT_EQ(BrokenLinks(one.path(), &links, allowed), "");
  const int done = r.summary.images_done;
  EXPECT_GT(links, (c.web ? 6 : 1) * done);  // three in a web cell, three or four on a page
  if (c.web) {
    EXPECT_EQ(to_photos, linked ? done : 0);
  }
  // Web outputs are the reference renderings; a copy of an original holds the photo's bytes.
  for (const ImagePlan& image : c.web ? plan.images : std::vector<ImagePlan>()) {
    for (const imaging::OutputImage& output : WebOutputs(r.settings, image)) {
      EXPECT_TRUE(ReadFile(output.target) == ReferenceOutput(image.path, output)) << output.target;
    }
    if (!image.original_copy_path.empty()) {
      EXPECT_TRUE(ReadFile(image.original_copy_path) == ReadFile(image.path));
    }
  }
  RunCountingDecodes(four, c, 4, four_sources);
  EXPECT_TRUE(Files(one.path()) == Files(four.path()));
}

std::vector<std::string> Split(std::vector<std::string> more) {
  more.insert(more.begin(),
              {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2", "ThumbnailsInColumn=2"});
  return more;
}

INSTANTIATE_TEST_SUITE_P(
    Library, GalleryCaseTest,
    ::testing::Values(
        GalleryCase{"plain", 0, {}, {"."}},
        GalleryCase{"split", 0, Split({"CreatePicturePages=1", "TargetFrame=3"}), {"."}},
        GalleryCase{"per_directory",
                    0,
                    {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=3", "ThumbnailsInColumn=1",
                     "NewHTMLForEachDirectory=1", "HTMLFileMask=%d_%n.html"},
                    {"."}},
        // The background is linked from each directory's own pages.
        GalleryCase{"into_image_directories",
                    0,
                    Split({"HTMLIntoImageDirectory=1", "ThumbnailsIntoImageDirectory=1",
                           "CreatePicturePages=1", "PageSettings.UseBackgroundImage=1",
                           "PageSettings.BackgroundImage=$/bg.png"}),
                    {"."}},
        GalleryCase{"web", 1, {}, {"web", "thumbs"}},
        GalleryCase{"web_split", 1, Split({"PhotoDetails=1", "Originals=1"}), {"web", "thumbs"}},
        // Each folder of photos holds its pages, its thumb/ and its photos/: served together,
        // they are what links may reach, never a photo.
        GalleryCase{"web_into_image_directories",
                    1,
                    Split({"HTMLIntoImageDirectory=1", "ThumbnailsIntoImageDirectory=1"}),
                    {"photos", "other place", "elsewhere"}},
        GalleryCase{"web_linked_originals", 1, {"Originals=2"}, {"web", "thumbs"}},
        // A PNG, a WebP, a HEIC and an AVIF, turned upright by their own tags; a broken file of
        // each format fails with its reader's message before pages are laid out.
        GalleryCase{"web_formats", 2, {}, {"web", "thumbs"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The web-ready awkward library and turned/: big.jpg, reduced in fast mode; square.jpg and
// mirrored.jpg, which keep their size when turned.
GallerySettings UpdateLibrary(const TempDir& tmp) {
  GallerySettings settings = AwkwardWebGallery(tmp);
  WriteTestJpeg(tmp.write("turned/big.jpg", ""), {.width = 800, .height = 600});
  WriteTestJpeg(tmp.file("turned/square.jpg"),
                {.width = 90, .height = 90, .exif = ExifWithOrientation(6)});
  WriteTestJpeg(tmp.file("turned/mirrored.jpg"),
                {.width = 80, .height = 50, .exif = ExifWithOrientation(2, true)});
  settings.Output.Directories.push_back(tmp.file("turned"));
  return settings;
}

// The images a run made (thumbnails in thumbs/, display copies beside the photo pages) by their
// inodes, which tell a file written anew: every write replaces its file, even with the same bytes.
std::map<std::string, ino_t> Outputs(const TempDir& tmp) {
  std::map<std::string, ino_t> outputs;
  for (const char* dir : {"thumbs", "web/photos"}) {
    if (!fs::exists(tmp.file(dir))) continue;
    for (const auto& entry : fs::directory_iterator(tmp.file(dir))) {
      struct stat st {};
      if (entry.path().extension() != ".html" && ::stat(entry.path().c_str(), &st) == 0)
        outputs[entry.path().string().substr(tmp.path().size() + 1)] = st.st_ino;
    }
  }
  return outputs;
}

// "run WORD..." runs over the library with each WORD "fast", "no-orient", "no-profile" or
// "Field=Value": gives what the run made and the outputs it wrote, a folder's worth named by the
// folder. "edit PHOTO" writes the photo anew at its size; "remove FILE"; "fresh" compares the
// outputs with those of a fresh run.
std::string UpdateStep(const TempDir& tmp, const GallerySettings& settings,
                       const TranscriptStep& step) {
  const std::string &command = step.command, file = tmp.file(step.rest);
  if (command == "edit") {
    const imaging::SourceHeader header = imaging::ReadSourceHeader(file);
    WriteTestJpeg(file, {.width = header.width, .height = header.height, .quality = 40});
  }
  if (command == "remove") fs::remove(file);
  if (command == "fresh") {
    TempDir fresh;
    RunGallery(UpdateLibrary(fresh));
    const bool same = Files(tmp.file("thumbs")) == Files(fresh.file("thumbs")) &&
                      Files(tmp.file("web/photos")) == Files(fresh.file("web/photos"));
    return same ? "same as a fresh run's" : "not those of a fresh run";
  }
  if (command != "run") return "";
  GallerySettings changed = settings;
  ImagingOptions imaging;
  for (const std::string& word : step.words) {
    if (word == "fast") imaging.fast = true;
    if (word == "no-orient") imaging.apply_orientation = false;
    if (word == "no-profile") imaging.keep_color_profile = false;
    if (word.find('=') != std::string::npos) SetFields(changed, {word});
  }
  const std::map<std::string, ino_t> before = Outputs(tmp);
  const RunSummary s = RunGallery(changed, imaging).summary;
  std::map<std::string, std::pair<std::string, bool>> folders;  // written, all of them
  for (const auto& [name, inode] : Outputs(tmp)) {
    auto& [written, all] =
        folders.try_emplace(name.substr(0, name.rfind('/') + 1), "", true).first->second;
    const bool kept = before.contains(name) && before.at(name) == inode;
    all = all && !kept;
    if (!kept) written += " " + name;
  }
  std::string text = "made " + std::to_string(s.thumbnails_made) + ", " +
                     std::to_string(s.pages_written) + " pages written, " +
                     std::to_string(s.pages_unchanged) + " unchanged; outputs written:";
  for (const auto& [folder, written] : folders) {
    text += written.second ? " " + folder : written.first;
  }
  return text;
}

TEST(UpdateModeTest, StepsGiveTheGoldenTranscript) {
  TempDir tmp;
  const GallerySettings settings = UpdateLibrary(tmp);
  EXPECT_EQ(ReplayGolden("run/update.txt",
                         [&](const auto& step) { return UpdateStep(tmp, settings, step); }),
            "");
}

}  // namespace
}  // namespace quorvel::testing
