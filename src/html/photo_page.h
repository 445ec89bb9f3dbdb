// The page of one photo in a web gallery: its display copy fitted to the window, links to the
// previous and next photo and back to the index page (also on ArrowLeft, ArrowRight and
// Escape), and optionally the photo's details and a link to the original. One HTML5 page with
// its style and script inline: nothing external is loaded.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel::html {

// What a photo page shows. Links are relative to the page, in the run's path style.
struct PhotoPage {
  std::string FileName;     // the photo's file name: the title, the alt text and the caption
  std::string DisplayHref;  // the display copy
  int Width = 0;            // the display copy's pixel size
  int Height = 0;
  std::string PreviousHref;  // the previous photo's page; empty on the first photo
  std::string NextHref;      // the next photo's page; empty on the last photo
  std::string IndexHref;     // the index page holding the photo's thumbnail
  // Formatted values ("2024-07-01 14:03", "Canon EOS R6", "1/250 s"...), shown on one line;
  // empty ones are left out, and with none there is no line.
  std::vector<std::string> Details;
  std::string OriginalHref;  // the original photo; empty: no link
};

// The whole page, lines ended by CR LF. Colours: a dark viewer, unless `colors` (the index
// pages' settings) sets any of its five colours; then the photo pages take those colours and the
// browser's own for the rest, as the index pages do. Texts are escaped and links encoded.
std::string PhotoPageText(const PhotoPage& photo, const PageSettings& colors, PathStyle style);

// Writes the page atomically. Throws Error("Cannot create file %s (reason)").
void WritePhotoPage(const std::string& pagePath, const PhotoPage& photo, const PageSettings& colors,
                    PathStyle style);

}  // namespace quorvel::html
