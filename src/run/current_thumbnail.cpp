#include "run/current_thumbnail.h"

#include "imaging/orientation.h"

namespace quorvel {

bool IsCurrentOutput(const imaging::OutputImage& output, const imaging::PictureRequest& request,
                     const imaging::SourceHeader& source,
                     const std::array<imaging::QuantTable, 2>& tables) {
  const auto header = imaging::ReadThumbnailHeader(output.target);
  if (!header || header->modified < source.modified) return false;
  const imaging::ThumbnailMark exact = imaging::OutputMark(request, 1);
  const bool turned = imaging::OrientationSwapsSides(exact.orientation);
  const imaging::ThumbnailSize size = imaging::OutputSize(
      output, turned ? source.height : source.width, turned ? source.width : source.height);
  const int components = output.grayscale ? 1 : 3;
  const bool profile = request.keep_color_profile && !output.grayscale && source.rgb_profile;
  const bool marked =
      header->mark.orientation == exact.orientation && (request.fast || !header->mark.fast);
  return header->width == size.width && header->height == size.height &&
         header->components == components && header->tables[0] == tables[0] &&
         (components == 1 || header->tables[1] == tables[1]) && header->profile == profile &&
         marked;
}

bool IsCurrentThumbnail(const imaging::ThumbnailRequest& request,
                        const imaging::SourceHeader& source,
                        const std::array<imaging::QuantTable, 2>& tables) {
  imaging::PictureRequest picture;
  picture.orientation = imaging::MarkFor(request, 1).orientation;
  picture.keep_color_profile = request.keep_color_profile;
  picture.fast = request.fast;
  const imaging::OutputImage thumbnail{request.target,    imaging::OutputFit::Box,
                                       request.box_width, request.box_height,
                                       request.quality,   request.grayscale};
  return IsCurrentOutput(thumbnail, picture, source, tables);
}

}  // namespace quorvel
