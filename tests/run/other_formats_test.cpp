// Photos of other formats in a run: with the web-ready set, every output of a PNG, a WebP, a
// HEIC and an AVIF is byte for byte the reference rendering of the same pixels, and a broken
// file of each format fails with its reader's message before pages are laid out while the run
// goes on; without it, the run names each photo it skipped.
#include <gtest/gtest.h>

#include "imaging/jpeg_header.h"
#include "imaging/picture_reader.h"
#include "job/error.h"
#include "run/output_plan.h"
#include "run/skipped_photos.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/web_gallery.h"

namespace quorvel::testing {
namespace {

// What the reader says of a file it cannot read.
std::string ReaderMessage(const std::string& path) {
  try {
    imaging::DecodePicture(path, FormatOfName(path));
  } catch (const Error& e) {
    return MessageWithDetail(e);
  }
  return "read";
}

TEST(OtherFormatsTest, OutputsAreTheReferenceRenderingsAndBrokenFilesAreLeftOut) {
  TempDir tmp;
  const std::string dir = MakeFormatsLibrary(tmp);
  GallerySettings settings = GalleryInto(tmp.path(), {dir});
  SetWebReady(settings.Web, true);
  SetFields(settings, {"DisplaySize=100"});
  const GalleryResult r = RunGallery(settings);

  const std::vector<std::string> laid_out = {dir + "/lossless.png", dir + "/lossy.webp",
                                             dir + "/phone.heic", dir + "/photo.jpg",
                                             dir + "/still.avif"};
  EXPECT_EQ(r.images, laid_out);
  EXPECT_EQ(r.summary.images_done, 5);
  ASSERT_EQ(r.summary.failures.size(), 4u);
  for (const ImageFailure& failure : r.summary.failures) {
    EXPECT_NE(failure.path.find("/broken."), std::string::npos);
    EXPECT_EQ(failure.message, ReaderMessage(failure.path));
  }
  EXPECT_EQ(BrokenLinks(tmp.path()), "");

  const int box = settings.Thumbnail.ThumbnailWidth;
  for (const ImagePlan& image : PlanOutputs(r.settings, r.images, PathStyle::Posix).images) {
    const imaging::OutputImage outputs[] = {
        {image.thumbnail_path, imaging::OutputFit::Box, box, box, settings.Thumbnail.Quality},
        {image.double_thumbnail_path, imaging::OutputFit::DoubleBox, box, box,
         settings.Thumbnail.Quality},
        {image.display_path, imaging::OutputFit::LongSide, 100, 100, settings.Web.DisplayQuality}};
    for (const imaging::OutputImage& output : outputs) {
      EXPECT_TRUE(ReadFile(output.target) == ReferenceOutput(image.path, output)) << output.target;
    }
  }
  // Turned upright: the PNG by its eXIf Orientation (with its profile kept), the HEIC by its
  // own irot.
  const auto png = imaging::ReadThumbnailHeader(tmp.file("web/photos/lossless.jpg"));
  const auto heic = imaging::ReadThumbnailHeader(tmp.file("web/photos/phone.jpg"));
  ASSERT_TRUE(png && heic);
  EXPECT_EQ(std::tie(png->width, png->height, png->profile), std::make_tuple(75, 100, true));
  EXPECT_EQ(std::tie(heic->width, heic->height), std::make_tuple(48, 64));
}

TEST(OtherFormatsTest, WithoutTheWebSetEveryPhotoOfAnotherFormatIsNamed) {
  TempDir tmp;
  const std::string dir = MakeFormatsLibrary(tmp);
  const GalleryResult r = RunGallery(GalleryInto(tmp.path(), {dir}));
  EXPECT_EQ(r.images, std::vector<std::string>{dir + "/photo.jpg"});
  EXPECT_TRUE(r.summary.failures.empty());
  std::vector<std::string> skipped = r.summary.skipped;
  std::sort(skipped.begin(), skipped.end());
  const std::vector<std::string> expected = {
      dir + "/broken.avif",  dir + "/broken.heic", dir + "/broken.png", dir + "/broken.webp",
      dir + "/lossless.png", dir + "/lossy.webp",  dir + "/phone.heic", dir + "/still.avif"};
  EXPECT_EQ(skipped, expected);
  EXPECT_EQ(SkippedPhotosLine(r.summary.skipped),
            "8 photos skipped (AVIF, HEIC, PNG, WebP): not JPEG");
}

}  // namespace
}  // namespace quorvel::testing
