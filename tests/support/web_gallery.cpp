#include "support/web_gallery.h"

#include "imaging/icc_profile.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/nclx_profile.h"
#include "imaging/orientation.h"
#include "imaging/picture_reader.h"
#include "imaging/resample_bitmap.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_heif.h"
#include "support/test_jpeg.h"
#include "support/test_png.h"
#include "support/test_webp.h"

namespace quorvel::testing {

GallerySettings AwkwardWebGallery(const TempDir& tmp) {
  GallerySettings settings = GalleryInto(tmp.path(), MakeAwkwardLibrary(tmp));
  SetWebReady(settings.Web, true);
  SetFields(settings, {"DisplaySize=100"});
  return settings;
}

std::string MakeFormatsLibrary(const TempDir& tmp) {
  // libpng checks a profile it writes: a real one, of Display P3.
  const std::string p3 =
      imaging::MakeNclxProfile({{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, {0.3127, 0.3290}});
  const std::string png = EncodeTestPng(
      {.width = 160, .height = 120, .exif = ExifWithOrientation(6).substr(6), .icc = p3});
  const std::string webp = EncodeTestWebp({.width = 90, .height = 60, .lossless = false});
  const std::string heic = EncodeTestHeif({.width = 64, .height = 48, .orientation = 6});
  const std::string avif = EncodeTestHeif({.width = 48, .height = 32, .avif = true});
  tmp.write("formats/lossless.png", png);
  tmp.write("formats/lossy.webp", webp);
  tmp.write("formats/phone.heic", heic);
  tmp.write("formats/still.avif", avif);
  WriteTestJpeg(tmp.file("formats/photo.jpg"), {.width = 50, .height = 40});
  // Each cut inside its header: the signature is right, the rest is missing.
  tmp.write("formats/broken.png", png.substr(0, 20));
  tmp.write("formats/broken.webp", webp.substr(0, 20));
  tmp.write("formats/broken.heic", heic.substr(0, 40));
  tmp.write("formats/broken.avif", avif.substr(0, 40));
  return tmp.file("formats");
}

std::string ReferenceOutput(const std::string& source, const imaging::OutputImage& output,
                            bool keep_color_profile) {
  imaging::TFastBmp stored;
  std::string profile;
  int orientation = 1;
  const ImageFormat format = FormatOfName(source);
  if (format == ImageFormat::Jpeg) {
    imaging::SourceMarkers markers;
    imaging::DecodeJpegFile(source, stored, &markers);
    profile = markers.icc_profile;
    orientation = imaging::ReadSourceHeader(source).orientation;
  } else {
    imaging::DecodedPicture picture = imaging::DecodePicture(source, format);
    stored = std::move(picture.bitmap);
    profile = picture.info.icc_profile;
    orientation = picture.info.orientation;
  }
  const bool swap = imaging::OrientationSwapsSides(orientation);
  const int w = stored.Width(), h = stored.Height();
  const imaging::ThumbnailSize upright = imaging::OutputSize(output, swap ? h : w, swap ? w : h);
  imaging::TFastBmp resampled(swap ? upright.height : upright.width,
                              swap ? upright.width : upright.height);
  imaging::ResampleBitmap(stored, resampled, imaging::Lanczos3Filter, 3.0f);
  const bool turned = orientation >= 2 && orientation <= 8;
  if (turned) resampled = imaging::OrientBitmap(resampled, orientation);
  const bool keep = keep_color_profile && !output.grayscale && imaging::DescribesRgb(profile);
  return imaging::EncodeJpeg(resampled, output.quality, output.grayscale,
                             keep ? profile : std::string(),
                             imaging::MarkComment({false, turned ? orientation : 1}));
}

std::vector<imaging::OutputImage> WebOutputs(const GallerySettings& s, const ImagePlan& image) {
  const int box = s.Thumbnail.ThumbnailWidth, quality = s.Thumbnail.Quality;
  return {{image.thumbnail_path, imaging::OutputFit::Box, box, box, quality},
          {image.double_thumbnail_path, imaging::OutputFit::DoubleBox, box, box, quality},
          {image.display_path, imaging::OutputFit::LongSide, s.Web.DisplaySize, s.Web.DisplaySize,
           s.Web.DisplayQuality}};
}

}  // namespace quorvel::testing
