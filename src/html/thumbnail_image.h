// The thumbnail's <img> in an index cell of a web gallery: its pixel size (so the page does not
// jump while thumbnails load), a 2x source for sharp screens and the photo's name as alt text.
#pragma once

#include <string>

#include "job/path_style.h"

namespace quorvel::html {

struct ThumbnailImage {
  std::string Href;             // the thumbnail, relative to the page
  std::string HighDensityHref;  // its 2x version, or empty when there is none
  int Width = 0;                // the 1x thumbnail's pixel size
  int Height = 0;
  std::string FileName;  // the photo's file name, the alt text
};

// `<img src=".." srcset=".. 2x" width="W" height="H" alt=".." border="0">`, the srcset only
// with a 2x source. Links are percent-encoded (in the srcset "," as well, which that list would
// otherwise read as a separator) and the name escaped.
std::string ThumbnailImageTag(const ThumbnailImage& image, PathStyle style);

}  // namespace quorvel::html
