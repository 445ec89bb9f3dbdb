// Seeds of the fuzz targets, made with the tests' JPEG writer and the program's own encoders.
#include <string>

#include "job/gallery_settings.h"
#include "fuzz_entries.h"
#include "persist/state_file.h"
#include "support/test_jpeg.h"

namespace quorvel::fuzz {
namespace {

using Seeds = std::vector<std::pair<std::string, std::string>>;

Seeds JpegSeeds() {
  using testing::EncodeTestJpeg;
  using testing::TestJpegOptions;
  Seeds seeds;
  const auto add = [&](const std::string& name, TestJpegOptions o) {
    seeds.emplace_back(name, EncodeTestJpeg(o));
  };
  add("rgb_16x12.jpg", {});
  add("gray_16x12.jpg", {.components = 1});
  add("cmyk_16x12.jpg", {.components = 4});
  add("progressive_24x16.jpg", {.width = 24, .height = 16, .progressive = true});
  add("one_pixel.jpg", {.width = 1, .height = 1});
  add("elongated_300x3.jpg", {.width = 300, .height = 3, .quality = 50});
  TestJpegOptions turned{.width = 20, .height = 10};
  turned.exif = testing::ExifWithOrientation(6);
  add("exif_orientation_6.jpg", turned);
  TestJpegOptions motorola{.width = 10, .height = 20};
  motorola.exif = testing::ExifWithOrientation(8, true);
  add("exif_orientation_8_big_endian.jpg", motorola);
  TestJpegOptions profiled{.width = 8, .height = 8};
  profiled.icc = testing::TestIccProfile(300);
  add("icc_profile.jpg", profiled);
  return seeds;
}

Seeds StateSeeds() {
  Seeds seeds;
  GallerySettings settings;
  seeds.emplace_back("defaults.qvl", persist::EncodeState(settings));
  settings.Output.SplitHTML = true;
  settings.Output.SeparateHTML = true;
  settings.Output.HTMLFileMask = "page%3n of %d.html";
  settings.Thumbnail.ThumbnailNameMask = "%f_%%_small";
  settings.Table.BackgroundImage = "/photos/tile.jpg";
  settings.Table.UseBackgroundImage = true;
  settings.Page.TopHTML = {"<h1>Trip</h1>", "", "<p>days</p>"};
  settings.Picture.CreatePicturePages = true;
  settings.Picture.TargetFrame = 2;
  settings.Navigator.Font = 3;
  settings.Text.ImageName.Size = 4;
  seeds.emplace_back("changed.qvl", persist::EncodeState(settings));
  return seeds;
}

Seeds ConfigSeeds() {
  return {
      {"typical.cfg",
       "[WINDOW]\nleft=120\ntop=80\nstate lock=1\ndefault state=/home/u/trip.qvl\nicon=1\n\n"
       "[DIRS]\nmain window save=/home/u\nmain window load=/home/u/states\n"
       "directory box=/home/u/Pictures\n"},
      {"crlf_hex_comments.cfg",
       "; comment\r\n[window]\r\nLeft = 0x20\r\n top=-5\r\n# other\r\n[DIRS]\r\n"
       "directory box = /a b/c \r\n[OPTIONS]\r\njobs=4\r\ncamera orientation=0\r\n"},
      {"duplicates.cfg", "[WINDOW]\nleft=1\nleft=2\n[WINDOW]\ntop=3\n[DIRS\nstray line\n=x\n"},
  };
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SeedInputs(const std::string& target) {
  if (target == "jpeg_load") return JpegSeeds();
  if (target == "state_file") return StateSeeds();
  if (target == "config_file") return ConfigSeeds();
  return {};
}

}  // namespace quorvel::fuzz
