// Update mode sees every option that changes a thumbnail's pixels: an exact run remakes the
// thumbnails a fast run decoded at a reduced scale (a fast run keeps exact ones), and a change
// of the turn is seen even where the size stays (a square photo, a mirror).
#include <gtest/gtest.h>

#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

// big.jpg is reduced in fast mode; square.jpg and mirrored.jpg keep their size when turned.
GallerySettings Photos(const TempDir& tmp) {
  WriteTestJpeg(tmp.write("photos/big.jpg", ""), {.width = 640, .height = 480});
  WriteTestJpeg(tmp.file("photos/square.jpg"),
                {.width = 90, .height = 90, .exif = ExifWithOrientation(6)});
  WriteTestJpeg(tmp.file("photos/mirrored.jpg"),
                {.width = 80, .height = 50, .exif = ExifWithOrientation(2, true)});
  return GalleryInto(tmp.path(), {tmp.file("photos")});
}

// The thumbnails made, of a run with `imaging` over the photos.
int Made(const GallerySettings& settings, const ImagingOptions& imaging = {}) {
  return RunGallery(settings, imaging).summary.thumbnails_made;
}

// In the end the thumbnails are byte for byte those of a fresh default run.
void ExpectFreshThumbnails(const TempDir& tmp) {
  TempDir fresh;
  RunGallery(Photos(fresh));
  EXPECT_TRUE(Files(tmp.file("thumbs")) == Files(fresh.file("thumbs")));
}

TEST(CurrentThumbnailTest, AnExactRunRemakesFastThumbnailsAFastRunKeepsExactOnes) {
  TempDir tmp;
  const GallerySettings settings = Photos(tmp);
  ASSERT_EQ(Made(settings, {.fast = true}), 3);
  EXPECT_EQ(Made(settings), 1);  // only big.jpg was decoded at a reduced scale
  EXPECT_EQ(Made(settings, {.fast = true}), 0);
  ExpectFreshThumbnails(tmp);
}

TEST(CurrentThumbnailTest, AChangeOfTurnIsSeenWhereTheSizeStays) {
  TempDir tmp;
  const GallerySettings settings = Photos(tmp);
  ASSERT_EQ(Made(settings, {.apply_orientation = false}), 3);
  EXPECT_EQ(Made(settings, {.apply_orientation = false}), 0);
  EXPECT_EQ(Made(settings), 2);
  EXPECT_EQ(Made(settings), 0);
  ExpectFreshThumbnails(tmp);
}

}  // namespace
}  // namespace quorvel::testing
