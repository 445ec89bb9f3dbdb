// Making one thumbnail file: the decode planned from the header goes straight into the
// resampler at the fitted size (or at a reduced DCT scale in fast mode), is turned upright,
// encoded and saved.
#include "imaging/thumbnail_maker.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "imaging/icc_profile.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "imaging/thumbnail_mark.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

std::string ProfileWarning(std::size_t size, std::size_t limit) {
  return "ICC profile of " + std::to_string(size) + " bytes not copied into the thumbnail " +
         "(more than the " + std::to_string(limit) + " bytes accepted)";
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

ThumbnailMark MarkFor(const ThumbnailRequest& request, int scale_denominator) {
  const int orientation = request.apply_orientation ? request.orientation : 1;
  return {scale_denominator > 1, orientation >= 2 && orientation <= 8 ? orientation : 1};
}

std::vector<std::string> MakeThumbnail(FastImage& holder, const ThumbnailRequest& request) {
  std::string bytes;
  std::vector<std::string> warnings;
  try {
    const int orientation = request.apply_orientation ? request.orientation : 1;
    int scale = 1;
    // The filter runs over the pixels as stored; turning only moves the resampled ones.
    const auto planner = [&](int width, int height, const SourceMarkers&) {
      const bool swap = OrientationSwapsSides(orientation);
      const ThumbnailSize size =
          swap ? FitToBox(request.box_width, request.box_height, height, width)
               : FitToBox(request.box_width, request.box_height, width, height);
      ResamplePlan plan;
      plan.width = swap ? size.height : size.width;
      plan.height = swap ? size.width : size.height;
      if (request.fast)
        plan.scale_denominator = FastDecodeScale(width, height, plan.width, plan.height);
      scale = plan.scale_denominator;
      return plan;
    };
    const std::string decoded = holder.LoadResampled(request.source, planner, request.limits);
    if (!decoded.empty()) warnings.push_back(decoded);
    holder.Orient(orientation);
    const SourceMarkers& markers = holder.Markers();
    const bool colour = request.keep_color_profile && !request.grayscale;
    if (colour && markers.oversized_rgb_profile > 0) {
      warnings.push_back(
          ProfileWarning(markers.oversized_rgb_profile, request.limits.max_profile_bytes));
    }
    const bool keep_profile = colour && DescribesRgb(markers.icc_profile);
    bytes = EncodeJpeg(holder.FastBMP(), request.quality, request.grayscale,
                       keep_profile ? markers.icc_profile : std::string(),
                       MarkComment(MarkFor(request, scale)));
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory making a thumbnail of " + request.source);
  }
  // Written through a temporary file: an existing thumbnail survives any failure.
  if (const int error = platform::WriteFileAtomically(request.target, bytes); error != 0) {
    throw Error(FormatMessage("Cannot create file %s", request.target), platform::ErrorText(error));
  }
  return warnings;
}

}  // namespace quorvel::imaging
