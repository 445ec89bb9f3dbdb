// Making one thumbnail file through the one-decode path of a photo's outputs.
#include "imaging/thumbnail_maker.h"

namespace quorvel::imaging {

int FastDecodeScale(int width, int height, int thumbnailWidth, int thumbnailHeight) {
  for (const int d : {8, 4, 2}) {
    const long long scaled_w = (static_cast<long long>(width) + d - 1) / d;
    const long long scaled_h = (static_cast<long long>(height) + d - 1) / d;
    if (scaled_w >= 2LL * thumbnailWidth && scaled_h >= 2LL * thumbnailHeight) return d;
  }
  return 1;
}

ThumbnailMark MarkFor(const ThumbnailRequest& request, int scale_denominator) {
  const int orientation = request.apply_orientation ? request.orientation : 1;
  return {scale_denominator > 1, orientation >= 2 && orientation <= 8 ? orientation : 1};
}

std::vector<std::string> MakeThumbnail(FastImage& holder, const ThumbnailRequest& request) {
  PictureRequest picture;
  picture.source = request.source;
  picture.orientation = MarkFor(request, 1).orientation;
  picture.keep_color_profile = request.keep_color_profile;
  picture.fast = request.fast;
  picture.limits = request.limits;
  picture.outputs = {{request.target, OutputFit::Box, request.box_width, request.box_height,
                      request.quality, request.grayscale}};
  return MakePictureOutputs(holder, picture);
}

}  // namespace quorvel::imaging
