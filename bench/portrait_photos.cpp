// quorvel_portrait_photos DIR: writes phone-style photos into DIR to look at a gallery of
// them by eye. Each picture is drawn upright (sky, sun, a house, a tree and a large arrow
// pointing up), then stored as a phone stores it: turned back, with the Orientation tag that
// undoes the turn. Every thumbnail of a correct gallery shows its arrow pointing up.
// docs/portrait-gallery.png is such a gallery (quorvel-batch, 150 x 150 box, four in a row,
// image names printed) in headless Chromium at 900 x 600.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "imaging/fast_bmp.h"
#include "imaging/orientation.h"
#include "support/test_jpeg.h"

namespace {

using quorvel::imaging::OrientBitmap;
using quorvel::imaging::TFastBmp;

struct Photo {
  const char* name;
  int width, height;  // as displayed
  int orientation;    // the tag stored with it
  double hue;
};

// The stored pixels whose view under `orientation` is the upright picture: the inverse turn.
int Inverse(int orientation) { return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation; }

void Put(TFastBmp& bmp, int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= bmp.Width() || y >= bmp.Height()) return;
  std::uint8_t* p = bmp.Row(y) + 3 * x;
  p[0] = static_cast<std::uint8_t>(b);
  p[1] = static_cast<std::uint8_t>(g);
  p[2] = static_cast<std::uint8_t>(r);
}

TFastBmp Draw(const Photo& p) {
  TFastBmp bmp(p.width, p.height);
  const int w = p.width, h = p.height;
  const double ground = h * 0.72;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (y < ground) {
        const double t = y / ground;
        Put(bmp, x, y, static_cast<int>(70 + 120 * t * p.hue), static_cast<int>(130 + 80 * t),
            static_cast<int>(235 - 40 * t));
      } else {
        const double t = (y - ground) / (h - ground);
        Put(bmp, x, y, static_cast<int>(60 + 30 * t), static_cast<int>(150 - 50 * t), 50);
      }
    }
  }
  const auto disc = [&](double cx, double cy, double radius, int r, int g, int b) {
    for (int y = static_cast<int>(cy - radius); y <= cy + radius; ++y) {
      for (int x = static_cast<int>(cx - radius); x <= cx + radius; ++x) {
        if (std::hypot(x - cx, y - cy) <= radius) Put(bmp, x, y, r, g, b);
      }
    }
  };
  const auto box = [&](int x0, int y0, int x1, int y1, int r, int g, int b) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) Put(bmp, x, y, r, g, b);
    }
  };
  const int s = std::min(w, h);
  disc(w * 0.8, h * 0.12, s * 0.09, 255, 220, 80);  // sun, top right
  // House on the ground, its roof's ridge at the top.
  const int hx = static_cast<int>(w * 0.12), hw = static_cast<int>(s * 0.32);
  const int hy = static_cast<int>(ground - s * 0.22);
  box(hx, hy, hx + hw, static_cast<int>(ground) + 4, 200, 60, 50);
  for (int i = 0; i < hw / 2; ++i)
    box(hx + hw / 2 - i, hy - hw / 2 + i, hx + hw / 2 + i + 1, hy - hw / 2 + i + 1, 120, 40, 30);
  box(hx + hw / 2 - hw / 8, static_cast<int>(ground) - hw / 3, hx + hw / 2 + hw / 8,
      static_cast<int>(ground) + 4, 70, 40, 20);
  // Tree: trunk below, crown above.
  const int tx = static_cast<int>(w * 0.78);
  box(tx - s / 40, static_cast<int>(ground - s * 0.18), tx + s / 40, static_cast<int>(ground) + 6,
      110, 70, 30);
  disc(tx, ground - s * 0.25, s * 0.11, 30, 120, 40);
  // The arrow: a shaft and a head pointing to the top edge.
  const int ax = w / 2, head_top = static_cast<int>(h * 0.22), head_h = s / 5;
  box(ax - s / 30, head_top + head_h, ax + s / 30, static_cast<int>(h * 0.66), 255, 255, 255);
  for (int i = 0; i < head_h; ++i)
    box(ax - i * 3 / 4, head_top + i, ax + i * 3 / 4 + 1, head_top + i + 1, 255, 255, 255);
  return bmp;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvel_portrait_photos DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  const std::vector<Photo> photos = {
      {"IMG_0001.jpg", 480, 640, 6, 0.1}, {"IMG_0002.jpg", 450, 800, 6, 0.5},
      {"IMG_0003.jpg", 600, 800, 6, 0.9}, {"IMG_0004.jpg", 480, 640, 8, 0.3},
      {"IMG_0005.jpg", 480, 640, 3, 0.7}, {"IMG_0006.jpg", 640, 480, 1, 0.2},
      {"IMG_0007.jpg", 360, 640, 6, 0.6}, {"IMG_0008.jpg", 600, 800, 6, 1.0},
  };
  for (const Photo& p : photos) {
    const TFastBmp stored = OrientBitmap(Draw(p), Inverse(p.orientation));
    quorvel::testing::TestJpegOptions o;
    o.width = stored.Width();
    o.height = stored.Height();
    o.quality = 88;
    o.pixel = [&stored](int x, int y, int c) { return stored.Row(y)[3 * x + 2 - c]; };
    if (p.orientation != 1) o.exif = quorvel::testing::ExifWithOrientation(p.orientation, true);
    quorvel::testing::WriteTestJpeg(dir + "/" + p.name, o);
  }
  return 0;
}
