// Making one thumbnail file: decode at full size, fit into the box, Lanczos3, encode, save.
#include "imaging/thumbnail_maker.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/error.h"
#include "imaging/exif_orientation.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
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

void MakeThumbnail(FastImage& holder, const ThumbnailRequest& request) {
  std::string bytes;
  try {
    holder.SetFilename(request.source);
    const int orientation =
        request.apply_orientation ? ReadExifOrientation(holder.Markers().exif) : 1;
    const bool swap = OrientationSwapsSides(orientation);
    const int stored_w = holder.FastBMP().Width();
    const int stored_h = holder.FastBMP().Height();
    const ThumbnailSize size =
        swap ? FitToBox(request.box_width, request.box_height, stored_h, stored_w)
             : FitToBox(request.box_width, request.box_height, stored_w, stored_h);
    // The filter runs over the pixels as stored; turning only moves the resampled ones.
    if (swap) {
      holder.Resample(size.height, size.width, Lanczos3Filter, 3.0f);
    } else {
      holder.Resample(size.width, size.height, Lanczos3Filter, 3.0f);
    }
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
