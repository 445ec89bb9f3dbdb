#include "run/current_thumbnail.h"

#include "imaging/orientation.h"

namespace quorvel {

bool IsCurrentThumbnail(const imaging::ThumbnailRequest& request,
                        const imaging::SourceHeader& source,
                        const std::array<imaging::QuantTable, 2>& tables) {
  const auto header = imaging::ReadThumbnailHeader(request.target);
  if (!header || header->modified < source.modified) return false;
  // The turn the request applies, by the orientation found while planning.
  const imaging::ThumbnailMark exact = imaging::MarkFor(request, 1);
  const bool turned = imaging::OrientationSwapsSides(exact.orientation);
  const imaging::ThumbnailSize size = imaging::FitToBox(request.box_width, request.box_height,
                                                        turned ? source.height : source.width,
                                                        turned ? source.width : source.height);
  const int components = request.grayscale ? 1 : 3;
  const bool profile = request.keep_color_profile && !request.grayscale && source.rgb_profile;
  const bool marked =
      header->mark.orientation == exact.orientation && (request.fast || !header->mark.fast);
  return header->width == size.width && header->height == size.height &&
         header->components == components && header->tables[0] == tables[0] &&
         (components == 1 || header->tables[1] == tables[1]) && header->profile == profile &&
         marked;
}

}  // namespace quorvel
