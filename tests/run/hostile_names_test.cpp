// Photos and folders named to make trouble: a name that looks like a scheme, a backslash, letters
// outside ASCII and bytes that are not UTF-8. In every layout each link of every page leads to
// its file, none starts with a scheme, and the pages are pure ASCII.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// Folders and photos in them; the folders are listed for the run.
const std::vector<std::pair<std::string, std::vector<std::string>>> kLibrary = {
    {"photos",
     {"javascript:document.title='X',x.jpg", "a:b.jpg", "back\\slash.jpg", "Caf\xC3\xA9.jpg",
      "Caf\xE9 latin1.jpg", "plain.jpg"}},
    {"javascript:alert(1)", {"in.jpg"}},
    {"a:b", {"c:d.jpg"}},
    {"back\\slash", {"x.jpg"}},
    {"Caf\xC3\xA9", {"y.jpg"}},
    {"Caf\xE9", {"z.jpg"}},
};

struct NamesCase {
  const char* name;
  std::vector<std::string> sets;  // "$" stands for the root
};

void PrintTo(const NamesCase& c, std::ostream* out) { *out << c.name; }

// The links of a page that a browser would misread: those that start with a scheme, and those
// with a backslash, which it takes for "/".
std::string MisreadLinks(const std::string& page) {
  static const std::regex kLink("(?:href|src|background)=\"([^\"]*)\"");
  static const std::regex kScheme("^[A-Za-z][A-Za-z0-9+.-]*:");
  std::string found;
  for (std::sregex_iterator it(page.begin(), page.end(), kLink), end; it != end; ++it) {
    const std::string link = (*it)[1].str();
    if (std::regex_search(link, kScheme) || link.find('\\') != std::string::npos) {
      found += link + " ";
    }
  }
  return found;
}

class HostileNamesTest : public ::testing::TestWithParam<NamesCase> {};

TEST_P(HostileNamesTest, EveryLinkLeadsToItsFileAndPagesArePureAscii) {
  TempDir tmp;
  std::vector<std::string> directories;
  int k = 0;
  for (const auto& [folder, photos] : kLibrary) {
    directories.push_back(tmp.mkdir(folder));
    for (const std::string& photo : photos) {
      WriteTestJpeg(tmp.file(folder + "/" + photo), {.width = 20 + k++, .height = 16});
    }
  }
  tmp.mkdir("bg:x");
  tmp.write("bg:x/back\\ground.png", "background");
  GallerySettings settings = GalleryInto(tmp.path(), directories);
  for (std::string set : GetParam().sets) {
    if (const std::size_t at = set.find('$'); at != std::string::npos)
      set.replace(at, 1, tmp.path());
    SetFields(settings, {set});
  }
  const GalleryResult r = RunGallery(settings);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.summary.images_failed, 0);
  EXPECT_EQ(r.summary.images_done, 11);
  int links = 0;
  EXPECT_EQ(BrokenLinks(tmp.path(), &links), "");
  EXPECT_GE(links, 22);
  int pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(tmp.path())) {
    if (entry.path().extension() != ".html") continue;
    ++pages;
    const std::string page = ReadFile(entry.path().string());
    EXPECT_EQ(MisreadLinks(page), "") << entry.path();
    const auto high = std::find_if(page.begin(), page.end(),
                                   [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    EXPECT_EQ(high, page.end()) << entry.path() << " has a byte outside ASCII";
  }
  EXPECT_GT(pages, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, HostileNamesTest,
    ::testing::Values(
        NamesCase{"pages_into_the_photos",
                  {"HTMLDirectory=$/photos/", "PageSettings.UseBackgroundImage=1",
                   "PageSettings.BackgroundImage=$/bg:x/back\\ground.png"}},
        NamesCase{"into_image_directories",
                  {"HTMLIntoImageDirectory=1", "ThumbnailsIntoImageDirectory=1",
                   "CreatePicturePages=1", "SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=1",
                   "ThumbnailsInColumn=1", "PictureSettings.PicturePage.UseBackgroundImage=1",
                   "PictureSettings.PicturePage.BackgroundImage=$/bg:x/back\\ground.png"}},
        NamesCase{"a_page_per_folder_named_by_it",
                  {"SeparateHTML=1", "NewHTMLForEachDirectory=1", "HTMLFileMask=%d.html",
                   "TableSettings.UseBackgroundImage=1",
                   "TableSettings.BackgroundImage=$/bg:x/back\\ground.png"}},
        NamesCase{"split_pages_with_picture_pages",
                  {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2", "ThumbnailsInColumn=1",
                   "CreatePicturePages=1", "CellSettings.UseBackgroundImage=1",
                   "CellSettings.BackgroundImage=$/bg:x/back\\ground.png"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::testing
