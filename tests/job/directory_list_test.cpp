// The directory list operations and the two scans, on temporary trees.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "job/directory_list.h"
#include "job/error.h"
#include "support/temp_dir.h"

namespace quorvel {
namespace {

using testing::TempDir;

std::vector<std::string> Walk(const std::string& dir) {
  std::vector<std::string> found;
  ScanSubDirectories(dir, [&](const std::string& p) { found.push_back(p); });
  return found;
}

TEST(ScanImagesTest, TakesJpegFilesOfAnyCaseButNotHiddenOrDirectories) {
  TempDir tmp;
  for (const char* name : {"a.jpg", "B.JPG", "c.Jpeg", "d.png", ".hidden.jpg", "e.jpg.txt", "f"}) {
    tmp.write(std::string("pics/") + name, "x");
  }
  tmp.mkdir("pics/dir.jpg");
  tmp.mkdir("pics/sub");
  tmp.write("pics/sub/deep.jpg", "x");
  std::filesystem::create_symlink(tmp.file("missing.jpg"), tmp.file("pics/dangling.jpg"));
  std::vector<std::string> images = ScanImages(tmp.file("pics"));
  std::sort(images.begin(), images.end());
  const std::vector<std::string> expected = {tmp.file("pics/B.JPG"), tmp.file("pics/a.jpg"),
                                             tmp.file("pics/c.Jpeg")};
  EXPECT_EQ(images, expected);
}

TEST(ScanImagesTest, UnreadableOrMissingDirectoryYieldsNothing) {
  TempDir tmp;
  EXPECT_TRUE(ScanImages(tmp.file("nowhere")).empty());
}

TEST(ImageListTest, SortedWithoutRegardToCaseAndWithoutDuplicates) {
  std::vector<std::string> list;
  AddToImageList(list, {"/p/b.jpg", "/p/A.jpg", "/p/c.jpg"});
  AddToImageList(list, {"/p/a.jpg", "/p/b.jpg", "/P/z.jpg"});
  const std::vector<std::string> expected = {"/p/A.jpg", "/p/a.jpg", "/p/b.jpg", "/p/c.jpg",
                                             "/P/z.jpg"};
  EXPECT_EQ(list, expected);
}

TEST(ScanSubDirectoriesTest, DepthFirstKeepsCaseSkipsHiddenAndFiles) {
  TempDir tmp;
  tmp.mkdir("root/Alpha/Inner");
  tmp.mkdir("root/.secret/below");
  tmp.write("root/file.jpg", "x");
  std::vector<std::string> found = Walk(tmp.file("root"));
  const std::vector<std::string> expected = {tmp.file("root/Alpha"), tmp.file("root/Alpha/Inner")};
  EXPECT_EQ(found, expected);
  EXPECT_TRUE(Walk(tmp.file("root/Alpha/Inner")).empty());
}

TEST(ScanSubDirectoriesTest, DoesNotFollowALinkLoop) {
  TempDir tmp;
  tmp.mkdir("root/a");
  std::filesystem::create_directory_symlink(tmp.file("root"), tmp.file("root/a/loop"));
  std::filesystem::create_directory_symlink(tmp.file("root/a"), tmp.file("root/a/self"));
  const std::vector<std::string> expected = {tmp.file("root/a")};
  EXPECT_EQ(Walk(tmp.file("root")), expected);
}

TEST(ScanSubDirectoriesTest, UnreadableDirectoryYieldsNothingBelowIt) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every directory";
  TempDir tmp;
  tmp.mkdir("root/locked/inner");
  ::chmod(tmp.file("root/locked").c_str(), 0);
  const std::vector<std::string> expected = {tmp.file("root/locked")};
  EXPECT_EQ(Walk(tmp.file("root")), expected);
}

TEST(ScanSubDirectoriesTest, CancelStopsTheWalk) {
  TempDir tmp;
  tmp.mkdir("root/a/b/c");
  int calls = 0;
  ScanSubDirectories(tmp.file("root"), [&](const std::string&) { ++calls; },
                     [&] { return calls >= 1; });
  EXPECT_EQ(calls, 1);
}

TEST(AddDirectoryEntryTest, EliminatesThumbnailDirectoriesExactly) {
  OutputSettings out;
  out.ThumbnailsIntoImageDirectory = true;
  EXPECT_FALSE(AddDirectoryEntry(out, "/p/trip/thumb", PathStyle::Posix));
  EXPECT_TRUE(AddDirectoryEntry(out, "/p/trip/Thumb", PathStyle::Posix));
  EXPECT_TRUE(AddDirectoryEntry(out, "/p/trip/thumb/inner", PathStyle::Posix));
  out.EliminateThumbnailDirectory = false;
  EXPECT_TRUE(AddDirectoryEntry(out, "/p/other/thumb", PathStyle::Posix));
  out.EliminateThumbnailDirectory = true;
  out.ThumbnailsIntoImageDirectory = false;
  EXPECT_TRUE(AddDirectoryEntry(out, "/p/x/thumb", PathStyle::Posix));
  const std::vector<std::string> expected = {"/p/other/thumb", "/p/trip/Thumb",
                                             "/p/trip/thumb/inner", "/p/x/thumb"};
  EXPECT_EQ(out.Directories, expected);
}

TEST(AddDirectoryEntryTest, WalkWithEliminationAfterARun) {
  TempDir tmp;
  tmp.mkdir("pics/trip/thumb");
  tmp.mkdir("pics/trip/sub/thumb");
  OutputSettings out;
  out.ThumbnailsIntoImageDirectory = true;
  ScanSubDirectories(tmp.file("pics"),
                     [&](const std::string& p) { AddDirectoryEntry(out, p, PathStyle::Posix); });
  const std::vector<std::string> expected = {tmp.file("pics/trip"), tmp.file("pics/trip/sub")};
  EXPECT_EQ(out.Directories, expected);
}

TEST(DirectoryListTest, FilterRemoveClearAndPicked) {
  OutputSettings out;
  out.Directories = {"/a", "/a/thumb", "/b/Thumb", "/c/thumb/"};
  FilterThumbnailDirectories(out, PathStyle::Posix);
  EXPECT_EQ(out.Directories, (std::vector<std::string>{"/a", "/b/Thumb"}));
  out.ThumbnailDirectoryName.clear();
  try {
    FilterThumbnailDirectories(out, PathStyle::Posix);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Wrong thumbnail directory");
  }
  EXPECT_EQ(out.Directories.size(), 2u);
  AddPickedDirectory(out, "/pics/");
  AddPickedDirectory(out, "/pics/");
  AddPickedDirectory(out, "/");
  EXPECT_EQ(out.Directories, (std::vector<std::string>{"/", "/a", "/b/Thumb", "/pics", "/pics"}));
  RemoveSelectedDirectories(out.Directories, {true, false, true, true, false});
  EXPECT_EQ(out.Directories, (std::vector<std::string>{"/a", "/pics"}));
}

}  // namespace
}  // namespace quorvel
