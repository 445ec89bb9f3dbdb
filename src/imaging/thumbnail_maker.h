// One source JPEG in, one thumbnail file out: decode, fit into the box, Lanczos3, encode.
#pragma once

#include <string>

#include "imaging/fast_image.h"

namespace quorvel::imaging {

struct ThumbnailSize {
  int width;
  int height;
};

// The thumbnail's size for an image in the box; a side that would be 0 is 1.
ThumbnailSize FitToBox(int boxWidth, int boxHeight, int imageWidth, int imageHeight);

struct ThumbnailRequest {
  std::string source;
  std::string target;
  int box_width = 70;
  int box_height = 70;
  int quality = 60;
  bool grayscale = false;
  bool apply_orientation = true;   // not used yet
  bool keep_color_profile = true;  // not used yet
  bool fast = false;               // not used yet
};

// Throws Error: "Cannot open file %s", "JPEG error #%d", "Cannot create file %s". The target
// is written through a temporary file, so an existing thumbnail survives any failure.
void MakeThumbnail(FastImage& holder, const ThumbnailRequest& request);

}  // namespace quorvel::imaging
