// The comment marker of a thumbnail whose pixels are not the plain exact ones: made in fast mode
// from a reduced decode, or turned upright by the source's Orientation. Exact thumbnails of
// sources that need no turn carry none and stay byte for byte the reference's; the update check
// reads the mark from the header to tell whether a thumbnail is what the settings would make.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::imaging {

struct ThumbnailMark {
  bool fast = false;    // decoded at a reduced scale
  int orientation = 1;  // the Orientation (2 to 8) it was turned by; 1 when not turned
  bool operator==(const ThumbnailMark&) const = default;
};

// "Quorvelandiscope: fast", "Quorvelandiscope: turned by Orientation 6", both joined by ", ";
// empty for the plain thumbnail, which is written without a comment.
std::string MarkComment(const ThumbnailMark& mark);

// The mark a comment stands for; any other comment, or none, is the plain thumbnail's.
ThumbnailMark ReadMarkComment(std::string_view comment);

}  // namespace quorvel::imaging
