#include "cli/demo_gallery.h"

#include <cmath>

#include "imaging/fast_bmp.h"
#include "imaging/jpeg_encoder.h"
#include "job/directory_field.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::cli {
namespace {

struct DemoPhoto {
  const char* name;
  int width;
  int height;
  double sun_x;  // 0..1 across the picture
  double hue;    // shifts the sky from blue towards orange
};

constexpr DemoPhoto kPhotos[] = {
    {"harbour.jpg", 640, 480, 0.25, 0.0}, {"dusk.jpg", 640, 480, 0.7, 0.8},
    {"tower.jpg", 360, 640, 0.5, 0.2},    {"bay.jpg", 800, 450, 0.8, 0.4},
    {"morning.jpg", 512, 512, 0.3, 0.6},  {"dunes.jpg", 700, 400, 0.6, 1.0},
    {"cliffs.jpg", 480, 640, 0.2, 0.1},   {"lagoon.jpg", 640, 427, 0.45, 0.3},
};

std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

// A sky gradient, a sun with a soft edge, a sea with ripples and a dark shore line.
void DrawPhoto(imaging::TFastBmp& bmp, const DemoPhoto& p) {
  const int w = bmp.Width();
  const int h = bmp.Height();
  const double horizon = h * 0.6;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = bmp.Row(y);
    for (int x = 0; x < w; ++x) {
      double r, g, b;
      if (y < horizon) {
        const double t = y / horizon;
        r = 60 + 160 * t * (0.4 + p.hue);
        g = 110 + 90 * t;
        b = 220 - 80 * t * p.hue;
        const double dx = x - p.sun_x * w;
        const double dy = y - horizon * 0.45;
        const double d = std::sqrt(dx * dx + dy * dy) / (0.08 * std::min(w, h));
        const double glow = std::exp(-d * d);
        r += 200 * glow;
        g += 170 * glow;
        b += 60 * glow;
      } else {
        const double t = (y - horizon) / (h - horizon);
        const double ripple = 12 * std::sin(x * 0.15 + y * 0.9) * (1 - t);
        r = 20 + 40 * p.hue + ripple;
        g = 80 + 40 * (1 - t) + ripple;
        b = 140 - 60 * t + ripple;
        if (t > 0.85) r = g = b = 40 + 30 * std::sin(x * 0.05);
      }
      row[3 * x] = Channel(b);
      row[3 * x + 1] = Channel(g);
      row[3 * x + 2] = Channel(r);
    }
  }
}

}  // namespace

BatchOptions PrepareDemoGallery(const std::string& dir, const BatchOptions& base) {
  const std::string photos = dir + "/photos";
  const std::string gallery = dir + "/gallery";
  // The demo folder may be new, parents included (out/ of a fresh clone).
  for (const std::string& d : {photos, gallery + "/thumbs"}) CreateDirectoriesOrThrow(d);
  for (const DemoPhoto& p : kPhotos) {
    imaging::TFastBmp bmp(p.width, p.height);
    DrawPhoto(bmp, p);
    const std::string path = photos + "/" + p.name;
    const int error = platform::WriteFileAtomically(path, imaging::EncodeJpeg(bmp, 85, false));
    if (error != 0) throw Error(FileErrorMessage("Cannot create file %s", path, error));
  }
  BatchOptions options = base;
  options.directories = {photos};
  options.html_dir = gallery + "/";
  options.thumb_dir = gallery + "/thumbs/";
  options.sets.insert(options.sets.begin(), {{"ThumbnailsInRow", "4"},
                                             {"ThumbnailWidth", "120"},
                                             {"ThumbnailHeight", "120"},
                                             {"CellWidth", "130"},
                                             {"CellHeight", "130"},
                                             {"PageSettings.Title", "Quorvelandiscope demo"},
                                             {"PageSettings.BackgroundColor", "#F4F1EA"},
                                             {"CreatePicturePages", "true"},
                                             {"PictureSettings.PicturePage.Title", "Demo photo"}});
  return options;
}

}  // namespace quorvel::cli
