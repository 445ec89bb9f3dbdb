// The job layer: output naming as a golden transcript (job/names.txt), setting fields by name,
// and the scan of a run's images on a temporary tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "job/directory_field.h"
#include "job/directory_list.h"
#include "job/gallery_settings.h"
#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/settings_fields.h"
#include "job/tidy_path.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::TempDir;
using Paths = std::vector<std::string>;

constexpr PathStyle W = PathStyle::Windows;
constexpr PathStyle P = PathStyle::Posix;

// "link W|P FROM TO", "tidy PATH", "thumb MASK FILE" (the same in both styles), "page MASK N",
// "base W|P PATH", "last W|P PATH", "has MASK", "field W|P TEXT" (a directory field, its
// directory missing and created), "pagefile W|P HTMLDIR DIR N", "thumbdir W|P DIR NAME". The
// output directories are tidied as a run and quorvel-batch meet them, in their tests.
std::string Name(const testing::TranscriptStep& step) {
  std::istringstream in(step.line);
  std::string command, a, b, c, d;
  in >> command >> a >> b >> c >> d;
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
  OutputSettings out;  // pages split, thumbnails into the photos' directories
  out.SeparateHTML = out.SplitHTML = out.ThumbnailsIntoImageDirectory = true;
  if (command == "pagefile")
    return out.HTMLDirectory = b, PageFileName(out, c, std::stoi(d), style);
  if (command == "thumbdir")
    return out.ThumbnailDirectoryName = c, ThumbnailDirectoryFor(out, b, style);
  if (command == "field") {  // what a directory field becomes, the directory created
    std::string created;
    const DirectoryOps missing{[](const std::string&) { return false; },
                               [&](const std::string& path) { return created = path, 0; }};
    return NormalizeDirectoryField(b, style, missing, [](const std::string&) { return true; }) +
           " (created " + created + ")";
  }
  ADD_FAILURE() << step.line;
  return "";
}

TEST(NamingTest, StepsGiveTheGoldenTranscript) {
  EXPECT_EQ(testing::ReplayGolden("job/names.txt", Name), "");
}

// Colours, alignments and lines by name are read by the HTML writer's transcripts.
TEST(SettingsFieldsTest, NamesTextsAndRefusals) {
  GallerySettings s;
  SetFieldFromText(s, "PicturePage.Title", "One");  // a tail of the path names one field
  SetFieldFromText(s, "Quality", "5000");           // clamped to its range
  EXPECT_EQ(std::tie(s.Picture.PicturePage.Title, s.Page.Title), std::tie("One", "New Page"));
  EXPECT_EQ(s.Thumbnail.Quality, 100);
  EXPECT_EQ(ParseEditorInteger(" -3 ", 15), -3);
  EXPECT_EQ(ParseEditorInteger("7x", 15), 15);
}

TEST(ScanTest, ImagesOfADirectoryInListOrderThenByName) {
  TempDir tmp;
  for (const char* name : {"x/b.jpg", "x/A.JPG", "x/a.jpg", "x/c.Jpeg", "x/d.png", "x/.hidden.jpg",
                           "x/e.jpg.txt", "x/sub/m.jpg", "x/z.jpg", "y/k.jpg", "y/f.HEIC",
                           "x/g.avif", "x/.h.webp", "x/i.heif", "x/j.webp", "x/clip.mov"})
    tmp.write(name, "x");
  tmp.mkdir("x/dir.jpg");
  std::filesystem::create_symlink(tmp.file("gone.jpg"), tmp.file("x/dangling.jpg"));
  ASSERT_EQ(::mkfifo(tmp.file("x/pipe.jpg").c_str(), 0644), 0);
  const auto names = [&](const Paths& paths) {
    std::string text;
    for (const std::string& path : paths) text += path.substr(tmp.path().size() + 1) + " ";
    return text;
  };
  const Paths list = {tmp.file("y"), tmp.file("x"), tmp.file("x/sub"), tmp.file("y"),
                      tmp.file("nowhere")};
  // Names equal but for case are both kept; "x" is entered once although "sub" sorts among it.
  // Photos of other formats are named as skipped; videos and other files are not.
  const CollectedImages jpeg_only = CollectImages(list, false);
  EXPECT_EQ(names(jpeg_only.images),
            "y/k.jpg x/A.JPG x/a.jpg x/b.jpg x/c.Jpeg x/z.jpg x/sub/m.jpg ");
  EXPECT_EQ(names(jpeg_only.skipped), "y/f.HEIC x/d.png x/g.avif x/i.heif x/j.webp ");
  const CollectedImages all = CollectImages(list, true);
  EXPECT_EQ(names(all.images),
            "y/f.HEIC y/k.jpg x/A.JPG x/a.jpg x/b.jpg x/c.Jpeg x/d.png "
            "x/g.avif x/i.heif x/j.webp x/z.jpg x/sub/m.jpg ");
  EXPECT_TRUE(all.skipped.empty());
}

}  // namespace
}  // namespace quorvel
