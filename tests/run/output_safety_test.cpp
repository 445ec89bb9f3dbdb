// No write lands on a photo or on a file the run does not own: outputs are compared by what they
// are on disk, whatever links lie on the way; leftovers of killed runs are removed, and only
// those; replaced files keep their modes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// A library t/ with photo.jpg and index.jpg, mypics/ with photo.jpg, the links a case makes,
// the settings it changes; "$" stands for the root in all texts.
struct LinkCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> links;  // link -> target
  std::vector<std::string> hard_links;                     // "existing=new"
  std::vector<std::string> sets;
  std::vector<std::string> directories;  // listed for the run
  std::string refusal;                   // empty: the run goes ahead
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

std::string WithRoot(std::string text, const std::string& root) {
  for (std::size_t at; (at = text.find('$')) != std::string::npos;) text.replace(at, 1, root);
  return text;
}

class LinkCaseTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkCaseTest, RefusedBeforeWritingNamingBoth) {
  const LinkCase& c = GetParam();
  TempDir tmp;
  const std::string root = tmp.path();
  tmp.mkdir("t");
  tmp.mkdir("mypics");
  WriteTestJpeg(tmp.file("t/photo.jpg"), {.width = 640, .height = 480});
  WriteTestJpeg(tmp.file("t/index.jpg"), {.width = 320, .height = 240});
  tmp.write("t/photo_thumb.jpg", "not a photo, only named like one");
  WriteTestJpeg(tmp.file("mypics/photo.jpg"), {.width = 500, .height = 400});
  tmp.mkdir("elsewhere");
  for (const auto& [link, target] : c.links) {
    fs::create_directories(fs::path(tmp.file(link)).parent_path());
    fs::create_symlink(target, tmp.file(link));
  }
  for (const std::string& pair : c.hard_links) {
    const std::string to = tmp.file(pair.substr(pair.find('=') + 1));
    fs::create_directories(fs::path(to).parent_path());
    fs::create_hard_link(tmp.file(pair.substr(0, pair.find('='))), to);
  }
  GallerySettings settings = GalleryInto(root, {});
  for (const std::string& dir : c.directories) {
    settings.Output.Directories.push_back(WithRoot(dir, root));
  }
  for (const std::string& set : c.sets) SetFields(settings, {WithRoot(set, root)});
  const auto before = Files(root);
  const GalleryResult r = RunGallery(settings);
  EXPECT_EQ(r.error, WithRoot(c.refusal, root));
  if (!c.refusal.empty()) {
    EXPECT_TRUE(Files(root) == before) << "nothing is written";
    return;
  }
  EXPECT_EQ(r.summary.images_failed, 1) << "photo_thumb.jpg";
  for (const auto& [path, bytes] : before) {
    if (path.ends_with(".jpg")) {
      EXPECT_EQ(ReadFile(tmp.file(path)), bytes) << path;
    }
  }
}

const char kThumbs[] = "ThumbnailsIntoImageDirectory=1";

INSTANTIATE_TEST_SUITE_P(
    Links, LinkCaseTest,
    ::testing::Values(
        LinkCase{"thumbnail_directory_leads_back_to_the_photos",
                 {{"t/thumb", "."}},
                 {},
                 {kThumbs, "ThumbnailNameMask=%f"},
                 {"$/t"},
                 "The thumbnail of $/t/index.jpg would replace the image $/t/index.jpg "
                 "($/t/thumb/index.jpg is the same file): change the Thumbnail Image Name Mask "
                 "(ThumbnailNameMask)."},
        LinkCase{"thumbnail_directory_leads_to_other_photos",
                 {{"t/thumb", "../mypics"}},
                 {},
                 {kThumbs, "ThumbnailNameMask=%f"},
                 {"$/mypics", "$/t"},
                 "The thumbnail of $/t/photo.jpg would replace the image $/mypics/photo.jpg "
                 "($/t/thumb/photo.jpg is the same file): change the Thumbnail Image Name Mask "
                 "(ThumbnailNameMask)."},
        LinkCase{"all_thumbnails_into_a_link_to_the_photos",
                 {{"thumbs2", "t"}},
                 {},
                 {"AllThumbnailsDirectory=$/thumbs2/", "ThumbnailNameMask=%f"},
                 {"$/t"},
                 "The thumbnail of $/t/index.jpg would replace the image $/t/index.jpg "
                 "($/thumbs2/index.jpg is the same file): change the Thumbnail Image Name Mask "
                 "(ThumbnailNameMask)."},
        LinkCase{"index_page_and_picture_page_through_a_link",
                 {{"web2", "t"}},
                 {},
                 {"HTMLDirectory=$/web2/", "CreatePicturePages=1"},
                 {"$/t"},
                 "The index page 1 and the picture page of $/t/index.jpg would both be written to "
                 "$/web2/index.html ($/t/index.html is the same file): change the HTML File's "
                 "Name (HTMLFileName)."},
        // t2 is t: the thumbnail directories the run would create are one.
        LinkCase{"a_directory_not_made_yet_is_its_parent_and_its_name",
                 {{"t2", "t"}},
                 {},
                 {kThumbs},
                 {"$/t", "$/t2"},
                 "The thumbnail of $/t/index.jpg and the thumbnail of $/t2/index.jpg would both "
                 "be written to $/t/thumb/index_thumb.jpg ($/t2/thumb/index_thumb.jpg is the same "
                 "file): change the Thumbnail Image Name Mask (ThumbnailNameMask)."},
        LinkCase{"an_old_thumbnail_that_is_a_hard_link_to_a_photo",
                 {},
                 {"t/index.jpg=thumbs/photo_thumb.jpg"},
                 {},
                 {"$/t"},
                 "The thumbnail of $/t/photo.jpg would replace the image $/t/index.jpg "
                 "($/thumbs/photo_thumb.jpg is the same file): change the Thumbnail Image Name "
                 "Mask (ThumbnailNameMask)."},
        LinkCase{"an_old_page_that_is_a_link_to_a_photo",
                 {{"web/index.html", "../t/photo.jpg"}},
                 {},
                 {},
                 {"$/t"},
                 "The index page 1 would replace the image $/t/photo.jpg ($/web/index.html is "
                 "the same file): change the HTML File's Name (HTMLFileName)."},
        LinkCase{"a_file_left_out_as_unreadable_is_no_less_the_user_s",
                 {},
                 {},
                 {kThumbs, "ThumbnailDirectoryName=."},
                 {"$/t"},
                 "The thumbnail of $/t/photo.jpg would replace the image $/t/photo_thumb.jpg: "
                 "change the Thumbnail Image Name Mask (ThumbnailNameMask)."},
        LinkCase{"links_that_lead_nowhere_harmful_are_followed",
                 {{"t/thumb", "../elsewhere"}, {"web2", "elsewhere"}},
                 {},
                 {kThumbs, "HTMLDirectory=$/web2/", "CreatePicturePages=1"},
                 {"$/t"},
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A process id above the system's largest is never alive.
std::string DeadProcess() {
  std::ifstream in("/proc/sys/kernel/pid_max");
  long max = 4194304;
  in >> max;
  return std::to_string(max);
}

TEST(LeftoverTest, ARunRemovesLeftoversOfKilledRunsFromWhereItWritesAndNothingElse) {
  TempDir tmp;
  tmp.mkdir("p");
  WriteTestJpeg(tmp.file("p/a.jpg"));
  WriteTestJpeg(tmp.file("p/b.jpg"));
  GallerySettings settings = GalleryInto(tmp.path(), {tmp.file("p")});
  SetFields(settings, {"CreatePicturePages=1"});
  const std::string dead = DeadProcess(), alive = std::to_string(::getpid());
  const std::vector<std::string> removed = {"web/.index.html." + dead + ".3.0a1b2c3d.tmp",
                                            "thumbs/.a_thumb.jpg." + dead + ".0.ffffffff.tmp",
                                            "p/.a.html." + dead + ".1.12345678.tmp",
                                            "web/.probe." + dead + ".0.00000000.tmp"};
  const std::vector<std::string> kept = {"web/.index.html." + alive + ".0.0a1b2c3d.tmp",
                                         "web/.index.html." + dead + ".3.0a1b2c3d.tmp.keep",
                                         "web/index.html." + dead + ".3.0a1b2c3d.tmp",
                                         "web/notes.txt",
                                         "elsewhere/.x.jpg." + dead + ".0.00000000.tmp"};
  for (const std::string& name : removed) tmp.write(name, "left by a killed run");
  for (const std::string& name : kept) tmp.write(name, "kept");
  const GalleryResult r = RunGallery(settings);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.summary.images_done, 2);
  for (const std::string& name : removed) EXPECT_FALSE(fs::exists(tmp.file(name))) << name;
  for (const std::string& name : kept) EXPECT_EQ(ReadFile(tmp.file(name)), "kept") << name;
}

// A page replaced keeps the mode it had; new files get what the umask leaves of 0666.
TEST(ModeTest, AReplacedPageKeepsItsModeUnderAnyUmask) {
  TempDir tmp;
  tmp.mkdir("p");
  WriteTestJpeg(tmp.file("p/a.jpg"));
  const GallerySettings settings = GalleryInto(tmp.path(), {tmp.file("p")});
  tmp.write("web/index.html", "an older page");
  ::chmod(tmp.file("web/index.html").c_str(), 0644);
  const mode_t saved = ::umask(077);
  const GalleryResult r = RunGallery(settings);
  ::umask(saved);
  ASSERT_EQ(r.summary.pages_written, 1);
  const auto mode = [&](const std::string& name) {
    struct stat st {};
    ::stat(tmp.file(name).c_str(), &st);
    return st.st_mode & 07777;
  };
  EXPECT_EQ(mode("web/index.html"), 0644u);
  EXPECT_EQ(mode("thumbs/a_thumb.jpg"), 0600u);
  EXPECT_NE(ReadFile(tmp.file("web/index.html")), "an older page");
}

}  // namespace
}  // namespace quorvel::testing
