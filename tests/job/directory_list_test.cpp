// The two scans on temporary trees: the images of a run and the sub-directory walk. (The list's
// own operations are tried through the window's buttons in tests/ui.)
#include "job/directory_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::TempDir;
using Paths = std::vector<std::string>;

TEST(ScanTest, ImagesOfADirectoryInListOrderThenByName) {
  TempDir tmp;
  for (const char* name : {"x/b.jpg", "x/A.JPG", "x/a.jpg", "x/c.Jpeg", "x/d.png", "x/.hidden.jpg",
                           "x/e.jpg.txt", "x/sub/m.jpg", "x/z.jpg", "y/k.jpg", "y/f.HEIC",
                           "x/g.avif", "x/.h.webp", "x/i.heif", "x/j.webp", "x/clip.mov"}) {
    tmp.write(name, "x");
  }
  tmp.mkdir("x/dir.jpg");
  std::filesystem::create_symlink(tmp.file("gone.jpg"), tmp.file("x/dangling.jpg"));
  ASSERT_EQ(::mkfifo(tmp.file("x/pipe.jpg").c_str(), 0644), 0);
  const Paths list = {tmp.file("y"), tmp.file("x"), tmp.file("x/sub"), tmp.file("y"),
                      tmp.file("nowhere")};
  // Names equal but for case are both kept; "x" is entered once although "sub" sorts among it.
  const Paths expected = {tmp.file("y/k.jpg"),    tmp.file("x/A.JPG"),  tmp.file("x/a.jpg"),
                          tmp.file("x/b.jpg"),    tmp.file("x/c.Jpeg"), tmp.file("x/z.jpg"),
                          tmp.file("x/sub/m.jpg")};
  const CollectedImages jpeg_only = CollectImages(list, false);
  EXPECT_EQ(jpeg_only.images, expected);
  // Photos of other formats are named as skipped; videos and other files are not.
  const Paths others = {tmp.file("y/f.HEIC"), tmp.file("x/d.png"), tmp.file("x/g.avif"),
                        tmp.file("x/i.heif"), tmp.file("x/j.webp")};
  EXPECT_EQ(jpeg_only.skipped, others);
  const CollectedImages all = CollectImages(list, true);
  EXPECT_EQ(all.images,
            (Paths{tmp.file("y/f.HEIC"), tmp.file("y/k.jpg"), tmp.file("x/A.JPG"),
                   tmp.file("x/a.jpg"), tmp.file("x/b.jpg"), tmp.file("x/c.Jpeg"),
                   tmp.file("x/d.png"), tmp.file("x/g.avif"), tmp.file("x/i.heif"),
                   tmp.file("x/j.webp"), tmp.file("x/z.jpg"), tmp.file("x/sub/m.jpg")}));
  EXPECT_TRUE(all.skipped.empty());
}

// The order, hidden directories and a cancelled walk are tried through the window's picker.
TEST(ScanTest, SubDirectoriesWithoutLoops) {
  TempDir tmp;
  tmp.mkdir("root/Alpha/Inner");
  std::filesystem::create_directory_symlink(tmp.file("root"), tmp.file("root/Alpha/loop"));
  const auto walk = [](const std::string& dir) {
    Paths found;
    ScanSubDirectories(
        dir, [&](const std::string& p) { found.push_back(p); }, [] { return false; });
    return found;
  };
  EXPECT_EQ(walk(tmp.file("root")), (Paths{tmp.file("root/Alpha"), tmp.file("root/Alpha/Inner")}));
  EXPECT_TRUE(walk(tmp.file("nowhere")).empty());
}

}  // namespace
}  // namespace quorvel
