#include "run/current_thumbnail.h"

#include "imaging/orientation.h"

namespace quorvel {

bool IsCurrentThumbnail(const imaging::ThumbnailRequest& request,
                        const imaging::SourceHeader& source,
                        const std::array<imaging::QuantTable, 2>& tables) {
  const auto header = imaging::ReadThumbnailHeader(request.target);
  if (!header || header->modified < source.modified) return false;
  const int orientation = request.apply_orientation ? source.orientation : 1;
  const bool turned = imaging::OrientationSwapsSides(orientation);
  const imaging::ThumbnailSize size = imaging::FitToBox(request.box_width, request.box_height,
                                                        turned ? source.height : source.width,
                                                        turned ? source.width : source.height);
  const int components = request.grayscale ? 1 : 3;
  const bool profile = request.keep_color_profile && !request.grayscale && source.rgb_profile;
  return header->width == size.width && header->height == size.height &&
         header->components == components && header->tables[0] == tables[0] &&
         (components == 1 || header->tables[1] == tables[1]) && header->profile == profile;
}

}  // namespace quorvel
