#include "imaging/thumbnail_mark.h"

namespace quorvel::imaging {

std::string MarkComment(const ThumbnailMark& mark) {
  const bool turned = mark.orientation >= 2 && mark.orientation <= 8;
  if (!mark.fast && !turned) return {};
  std::string text = "Quorvelandiscope: ";
  if (mark.fast) text += turned ? "fast, " : "fast";
  if (turned) text += "turned by Orientation " + std::to_string(mark.orientation);
  return text;
}

ThumbnailMark ReadMarkComment(std::string_view comment) {
  for (const bool fast : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      const ThumbnailMark mark{fast, orientation};
      if (!comment.empty() && MarkComment(mark) == comment) return mark;
    }
  }
  return {};
}

}  // namespace quorvel::imaging
