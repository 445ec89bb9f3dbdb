// The web-ready gallery over the awkward library, case by case: golden index and photo pages;
// every link of every page leading to a file the run made inside what is served, never to a
// photo unless originals are linked; outputs of the sizes the pages give, each the reference
// rendering; display copies upright with no metadata but their profile; four workers writing the
// bytes of one. And every photo opened for its pixels once for all its outputs.
#include "support/web_gallery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <regex>
#include <set>

#include "imaging/jpeg_header.h"
#include "imaging/orientation.h"
#include "platform/file_system.h"
#include "run/output_plan.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// Every regular file below `root` by its canonical path (links to directories not followed).
std::set<fs::path> FilesBelow(const std::string& root) {
  std::set<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.insert(fs::canonical(entry.path()));
  }
  return files;
}

std::string PercentDecoded(std::string link) {
  for (std::size_t at = 0; (at = link.find('%', at)) != std::string::npos; ++at) {
    link.replace(at, 3, 1, static_cast<char>(std::stoi(link.substr(at + 1, 2), nullptr, 16)));
  }
  return link;
}

// Each href, src and background of a page, and each source of a srcset, percent-decoded.
std::vector<std::string> PageLinks(const std::string& page) {
  static const std::regex kLink("(href|src|srcset|background)=\"([^\"]*)\"");
  std::vector<std::string> links;
  for (std::sregex_iterator it(page.begin(), page.end(), kLink), end; it != end; ++it) {
    std::string value = (*it)[2];
    if ((*it)[1] != "srcset") {
      links.push_back(PercentDecoded(value));
      continue;
    }
    // "a.jpg 2x, b.jpg 3x": a comma inside a link is encoded.
    for (std::size_t start = 0; start < value.size();) {
      const std::size_t comma = std::min(value.find(',', start), value.size());
      const std::string candidate = value.substr(value.find_first_not_of(' ', start));
      links.push_back(PercentDecoded(candidate.substr(0, candidate.find(' '))));
      start = comma + 1;
    }
  }
  return links;
}

// What a page says of each of its images.
struct ImgTag {
  std::string src;
  std::string srcset;  // the first candidate, without its descriptor
  int width = -1;
  int height = -1;
};

std::vector<ImgTag> ImgTags(const std::string& page) {
  static const std::regex kImg("<img ([^>]*)>");
  static const std::regex kAttribute("([a-z]+)=\"([^\"]*)\"");
  std::vector<ImgTag> tags;
  for (std::sregex_iterator it(page.begin(), page.end(), kImg), end; it != end; ++it) {
    const std::string attributes = (*it)[1];
    ImgTag tag;
    for (std::sregex_iterator a(attributes.begin(), attributes.end(), kAttribute); a != end; ++a) {
      const std::string name = (*a)[1], value = (*a)[2];
      if (name == "src") tag.src = PercentDecoded(value);
      if (name == "srcset") tag.srcset = PercentDecoded(value.substr(0, value.find(' ')));
      if (name == "width") tag.width = std::stoi(value);
      if (name == "height") tag.height = std::stoi(value);
    }
    tags.push_back(tag);
  }
  return tags;
}

// The gallery a run made over a library: the files it added, the pages among them.
struct MadeGallery {
  std::set<fs::path> sources;  // every file below the root before the run
  std::set<fs::path> made;     // the files the run added
  std::vector<fs::path> pages;
};

MadeGallery Made(const std::set<fs::path>& before, const std::string& root) {
  MadeGallery g{before, {}, {}};
  for (const fs::path& file : FilesBelow(root)) {
    if (before.contains(file)) continue;
    g.made.insert(file);
    if (file.extension() == ".html") g.pages.push_back(file);
  }
  return g;
}

bool IsBelow(const fs::path& file, const fs::path& dir) {
  return std::mismatch(dir.begin(), dir.end(), file.begin(), file.end()).first == dir.end();
}

// The standalone rule, one line per fault: each link of each page leads to a file the run made
// inside one of `served`, or, only with `photo_links`, to a photo of the library. `links` and
// `to_photos` receive the counts.
std::string LinkFaults(const MadeGallery& g, const std::vector<fs::path>& served, bool photo_links,
                       int& links, int& to_photos) {
  std::string faults;
  links = to_photos = 0;
  for (const fs::path& page : g.pages) {
    for (const std::string& link : PageLinks(ReadFile(page.string()))) {
      ++links;
      const fs::path target = fs::weakly_canonical(page.parent_path() / link);
      const bool in_served = std::any_of(served.begin(), served.end(),
                                         [&](const fs::path& dir) { return IsBelow(target, dir); });
      if (photo_links && g.sources.contains(target)) {
        ++to_photos;
      } else if (!g.made.contains(target) || !in_served) {
        faults += page.string() + ": " + link + "\n";
      }
    }
  }
  return faults;
}

// Each <img> of each page against its file: the width and height it gives, twice them for its
// 2x source. One line per fault.
std::string ImgSizeFaults(const MadeGallery& g, int& images) {
  std::string faults;
  images = 0;
  for (const fs::path& page : g.pages) {
    for (const ImgTag& tag : ImgTags(ReadFile(page.string()))) {
      ++images;
      const auto size_of = [&](const std::string& link, int factor) {
        const auto header = imaging::ReadThumbnailHeader((page.parent_path() / link).string());
        if (!header || header->width != factor * tag.width ||
            header->height != factor * tag.height) {
          faults += page.string() + ": " + link + " is not " + std::to_string(factor) + "x " +
                    std::to_string(tag.width) + " x " + std::to_string(tag.height) + "\n";
        }
      };
      size_of(tag.src, 1);
      if (!tag.srcset.empty()) size_of(tag.srcset, 2);
    }
  }
  return faults;
}

// A display copy's markers, one line per fault: nothing but JFIF, the chunks of the ICC profile
// (which together hold `profile` exactly), the mark of the turn by `orientation`, and the
// tables, frame and scan of the picture.
std::string MetadataFaults(const std::string& jpeg, const std::string& profile, int orientation) {
  const std::vector<JpegSegment> segments = JpegSegments(jpeg);
  if (segments.empty()) return "not a JPEG stream\n";
  std::string faults, chunks;
  for (const JpegSegment& s : segments) {
    const bool allowed =
        (s.marker == 0xE0 && s.payload.starts_with(std::string("JFIF\0", 5))) ||
        (s.marker == 0xE2 && s.payload.starts_with(std::string("ICC_PROFILE\0", 12))) ||
        (s.marker == 0xFE && orientation != 1 &&
         s.payload == imaging::MarkComment({false, orientation})) ||
        s.marker == 0xDB || s.marker == 0xC0 || s.marker == 0xC4 || s.marker == 0xDA;
    if (!allowed) faults += "marker " + std::to_string(s.marker) + ": " + s.payload + "\n";
    if (s.marker == 0xE2) chunks += s.payload.substr(14);
  }
  if (chunks != profile) faults += "the profile is not the photo's\n";
  return faults;
}

// Each photo's outputs as the pages promise and as the reference makes them: the thumbnail
// fitted into its box, the 2x one exactly twice its size, the display copy brought down to
// DisplaySize or kept at the photo's size, upright, with no metadata but its profile; a copy of
// the original, when there is one, the photo's bytes.
void ExpectOutputsOfEachPhoto(const GalleryResult& r) {
  const GallerySettings& s = r.settings;
  const int box = s.Thumbnail.ThumbnailWidth, display = s.Web.DisplaySize;
  int brought_down = 0, kept = 0;
  for (const ImagePlan& image : PlanOutputs(s, r.images, PathStyle::Posix).images) {
    SCOPED_TRACE(image.path);
    const imaging::SourceHeader source = imaging::ReadSourceHeader(image.path);
    const bool swap = imaging::OrientationSwapsSides(source.orientation);
    const int w = swap ? source.height : source.width, h = swap ? source.width : source.height;
    const auto one = imaging::ReadThumbnailHeader(image.thumbnail_path);
    const auto two = imaging::ReadThumbnailHeader(image.double_thumbnail_path);
    const auto copy = imaging::ReadThumbnailHeader(image.display_path);
    ASSERT_TRUE(one && two && copy);
    EXPECT_EQ(std::max(one->width, one->height), box);
    EXPECT_EQ(std::tie(two->width, two->height), std::make_tuple(2 * one->width, 2 * one->height));
    if (std::max(w, h) > display) {
      ++brought_down;
      EXPECT_EQ(std::max(copy->width, copy->height), display);
    } else {
      ++kept;
      EXPECT_EQ(std::tie(copy->width, copy->height), std::tie(w, h));
    }
    const imaging::OutputImage outputs[] = {
        {image.thumbnail_path, imaging::OutputFit::Box, box, box, s.Thumbnail.Quality},
        {image.double_thumbnail_path, imaging::OutputFit::DoubleBox, box, box, s.Thumbnail.Quality},
        {image.display_path, imaging::OutputFit::LongSide, display, display, s.Web.DisplayQuality}};
    for (const imaging::OutputImage& output : outputs) {
      EXPECT_TRUE(ReadFile(output.target) == ReferenceOutput(image.path, output)) << output.target;
    }
    if (!image.original_copy_path.empty()) {
      EXPECT_TRUE(ReadFile(image.original_copy_path) == ReadFile(image.path));
    }
    // Only the phone's photo is stored turned and has a profile.
    const bool phone = image.file_name == "x y.jpg";
    EXPECT_EQ(MetadataFaults(ReadFile(image.display_path), phone ? TestIccProfile(2000) : "",
                             source.orientation),
              "");
  }
  EXPECT_GT(brought_down, 0);
  EXPECT_GT(kept, 0);
}

// The summary, with the temporary directory left out of its paths.
std::string SummaryText(const GalleryResult& r, const std::string& root) {
  const RunSummary& s = r.summary;
  std::string text = std::to_string(s.images_done) + " done, " + std::to_string(s.images_failed) +
                     " failed, " + std::to_string(s.thumbnails_made) + " made, " +
                     std::to_string(s.pages_written) + " pages written\n";
  for (const ImageFailure& f : s.failures) {
    text += f.path.substr(root.size()) + ": " + f.message + "\n";
  }
  return text + s.page_error;
}

struct WebCase {
  const char* name;
  std::vector<std::string> sets;    // Field=Value on top of the web-ready set
  std::vector<std::string> served;  // below the library's root: where every link stays
};

void PrintTo(const WebCase& c, std::ostream* out) { *out << c.name; }

class WebCaseTest : public ::testing::TestWithParam<WebCase> {};

TEST_P(WebCaseTest, PagesAreGoldenStandaloneAndTrueToTheirImages) {
  const WebCase& c = GetParam();
  TempDir one, four;
  const GallerySettings settings = AwkwardWebGallery(one, c.sets);
  const std::set<fs::path> library = FilesBelow(one.path());
  const GalleryResult r = RunGallery(settings);
  const MadeGallery g = Made(library, one.path());
  ASSERT_EQ(r.error, "");

  const std::string golden = std::string("run/") + c.name + "/";
  EXPECT_EQ(CompareWithGolden(SummaryText(r, one.path()), golden + "summary.txt"), "");
  std::set<fs::path> index_pages;
  for (const std::string& page : r.pages) {
    const std::string name = golden + page.substr(one.path().size() + 1);
    EXPECT_EQ(CompareWithGolden(ReadFile(page), name), "");
    index_pages.insert(fs::canonical(page));
  }
  std::string photo_pages;
  const std::size_t root = fs::canonical(one.path()).string().size() + 1;
  for (const fs::path& page : g.pages) {
    if (index_pages.contains(page)) continue;
    photo_pages += "== " + page.string().substr(root) + "\n" + ReadFile(page.string());
  }
  EXPECT_EQ(CompareWithGolden(photo_pages, golden + "photo_pages.txt"), "");

  std::vector<fs::path> served;
  for (const std::string& dir : c.served) served.push_back(fs::canonical(one.file(dir)));
  const bool linked = settings.Web.Originals == 2;
  int links = 0, to_photos = 0, images = 0;
  EXPECT_EQ(LinkFaults(g, served, linked, links, to_photos), "");
  EXPECT_GT(links, 6 * r.summary.images_done);  // three in a cell, three or four on a page
  EXPECT_EQ(to_photos, linked ? r.summary.images_done : 0);
  EXPECT_EQ(ImgSizeFaults(g, images), "");
  EXPECT_EQ(images, 2 * r.summary.images_done);  // a thumbnail and a display copy each
  ExpectOutputsOfEachPhoto(r);

  RunGallery(AwkwardWebGallery(four, c.sets), {.jobs = 4});
  EXPECT_TRUE(Files(one.path()) == Files(four.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Library, WebCaseTest,
    ::testing::Values(WebCase{"web", {}, {"web", "thumbs"}},
                      WebCase{"web_split",
                              {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2",
                               "ThumbnailsInColumn=2", "PhotoDetails=1", "Originals=1"},
                              {"web", "thumbs"}},
                      // Each folder of photos holds its pages, its thumb/ and its photos/: served
                      // together, they are what links may reach, never a photo.
                      WebCase{"web_into_image_directories",
                              {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2",
                               "ThumbnailsInColumn=2", "HTMLIntoImageDirectory=1",
                               "ThumbnailsIntoImageDirectory=1"},
                              {"photos", "other place", "elsewhere"}},
                      WebCase{"web_linked_originals", {"Originals=2"}, {"web", "thumbs"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every file opened for reading while counting, from any thread.
std::mutex opens_mutex;
std::map<std::string, int> opens;

void CountOpen(const std::string& path) {
  const std::lock_guard lock(opens_mutex);
  ++opens[path];
}

std::map<std::string, int> OpensOf(const GallerySettings& settings, int jobs, int& made) {
  opens.clear();
  platform::SetReadOpenHookForTesting(&CountOpen);
  made = RunGallery(settings, {.jobs = jobs}).summary.thumbnails_made;
  platform::SetReadOpenHookForTesting(nullptr);
  return opens;
}

// Planning opens each photo for its header, and a run that finds every output current opens it
// for nothing else: what a first run opens beyond that are its decodes, one per photo for the
// thumbnail, the 2x thumbnail and the display copy together. A broken photo is never decoded.
TEST(OneDecodeTest, EachPhotoIsOpenedForItsPixelsOnce) {
  for (const int jobs : {1, 2}) {
    TempDir tmp;
    GallerySettings settings = AwkwardWebGallery(tmp);
    settings.Output.Directories.push_back(MakeFormatsLibrary(tmp));
    int made = 0;
    const std::map<std::string, int> first = OpensOf(settings, jobs, made);
    EXPECT_EQ(made, 18);
    std::map<std::string, int> second = OpensOf(settings, jobs, made);
    EXPECT_EQ(made, 0);
    int photos = 0;
    for (const auto& [path, count] : first) {
      if (path.starts_with(tmp.file("web/")) || path.starts_with(tmp.file("thumbs/"))) continue;
      ++photos;
      const bool broken =
          path.find("notes.jpg") != std::string::npos || path.find("broken.") != std::string::npos;
      EXPECT_EQ(count - second[path], broken ? 0 : 1) << path << " with " << jobs << " workers";
    }
    EXPECT_EQ(photos, 14 + 9);
  }
}

}  // namespace
}  // namespace quorvel::testing
