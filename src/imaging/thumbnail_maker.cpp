// Making one thumbnail file: decode at full size, fit into the box, Lanczos3, encode, save.
#include "imaging/thumbnail_maker.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "imaging/exif_orientation.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

// Only a profile for RGB data describes the thumbnail's samples; one made for gray or CMYK
// sources would misdescribe them.
bool DescribesRgb(const std::string& profile) {
  return profile.size() >= 128 && profile.compare(16, 4, "RGB ") == 0;
}

}  // namespace

ThumbnailSize FitToBox(int W, int H, int w, int h) {
  // Nothing sensible fits a degenerate box or image; the smallest thumbnail stands in.
  if (W <= 0 || H <= 0 || w <= 0 || h <= 0) return {1, 1};
  const double ratio = h >= w ? static_cast<double>(h) / H : static_cast<double>(w) / W;
  const double tw = w / ratio;
  const double th = h / ratio;
  // Each edge is rounded on its own, ties to even; a side can gain or lose a pixel.
  const auto R = [](double x) { return static_cast<long long>(std::nearbyint(x)); };
  const long long left = R(W / 2.0 - tw / 2.0);
  const long long right = R(W / 2.0 + tw / 2.0);
  const long long top = R(H / 2.0 - th / 2.0);
  const long long bottom = R(H / 2.0 + th / 2.0);
  return {static_cast<int>(std::max(1LL, right - left)),
          static_cast<int>(std::max(1LL, bottom - top))};
}

int FastDecodeScale(int width, int height, int thumbnailWidth, int thumbnailHeight) {
  for (const int d : {8, 4, 2}) {
    const long long scaled_w = (static_cast<long long>(width) + d - 1) / d;
    const long long scaled_h = (static_cast<long long>(height) + d - 1) / d;
    if (scaled_w >= 2LL * thumbnailWidth && scaled_h >= 2LL * thumbnailHeight) return d;
  }
  return 1;
}

void MakeThumbnail(FastImage& holder, const ThumbnailRequest& request) {
  std::string bytes;
  try {
    int orientation = 1;
    // The filter runs over the pixels as stored; turning only moves the resampled ones.
    const auto planner = [&](int width, int height, const SourceMarkers& markers) {
      orientation = request.apply_orientation ? ReadExifOrientation(markers.exif) : 1;
      const bool swap = OrientationSwapsSides(orientation);
      const ThumbnailSize size =
          swap ? FitToBox(request.box_width, request.box_height, height, width)
               : FitToBox(request.box_width, request.box_height, width, height);
      ResamplePlan plan;
      plan.width = swap ? size.height : size.width;
      plan.height = swap ? size.width : size.height;
      if (request.fast)
        plan.scale_denominator = FastDecodeScale(width, height, plan.width, plan.height);
      return plan;
    };
    holder.LoadResampled(request.source, planner);
    holder.Orient(orientation);
    const std::string& profile = holder.Markers().icc_profile;
    const bool keep_profile =
        request.keep_color_profile && !request.grayscale && DescribesRgb(profile);
    bytes = EncodeJpeg(holder.FastBMP(), request.quality, request.grayscale,
                       keep_profile ? profile : std::string());
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory making a thumbnail of " + request.source);
  }
  // Written through a temporary file: an existing thumbnail survives any failure.
  if (platform::WriteFileAtomically(request.target, bytes) != 0) {
    throw Error(FormatMessage("Cannot create file %s", request.target));
  }
}

}  // namespace quorvel::imaging
