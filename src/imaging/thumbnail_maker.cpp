#include "imaging/thumbnail_maker.h"

#include <cmath>

#include "core/error.h"
#include "imaging/jpeg_encoder.h"
#include "platform/file_system.h"

namespace quorvel::imaging {

ThumbnailSize FitToBox(int W, int H, int w, int h) {
  const double ratio = h >= w ? static_cast<double>(h) / H : static_cast<double>(w) / W;
  const double tw = w / ratio;
  const double th = h / ratio;
  const auto R = [](double x) { return static_cast<long long>(std::nearbyint(x)); };
  const long long left = R(W / 2.0 - tw / 2.0);
  const long long right = R(W / 2.0 + tw / 2.0);
  const long long top = R(H / 2.0 - th / 2.0);
  const long long bottom = R(H / 2.0 + th / 2.0);
  return {static_cast<int>(std::max(1LL, right - left)), static_cast<int>(std::max(1LL, bottom - top))};
}

void MakeThumbnail(FastImage& holder, const ThumbnailRequest& request) {
  holder.SetFilename(request.source);
  const ThumbnailSize size = FitToBox(request.box_width, request.box_height,
                                      holder.FastBMP().Width(), holder.FastBMP().Height());
  holder.Resample(size.width, size.height, Lanczos3Filter, 3.0f);
  const std::string bytes = EncodeJpeg(holder.FastBMP(), request.quality, request.grayscale);
  const int error = platform::WriteFileAtomically(request.target, bytes);
  if (error != 0) {
    throw Error(FormatMessage("Cannot create file %s", request.target) + " (" +
                platform::ErrorText(error) + ")");
  }
}

}  // namespace quorvel::imaging
