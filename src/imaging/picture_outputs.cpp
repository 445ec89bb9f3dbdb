// One decode of a photo into every output made of it. A JPEG is streamed: its rows go, batch by
// batch, into one resampler per output; the other formats are decoded whole by their readers and
// their bitmap is handed over in the same batches.
#include "imaging/picture_outputs.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "imaging/icc_profile.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/lanczos3_filter.h"
#include "imaging/orientation.h"
#include "imaging/picture_reader.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

std::string ProfileWarning(std::size_t size, std::size_t limit) {
  return "ICC profile of " + std::to_string(size) + " bytes not copied into the thumbnail " +
         "(more than the " + std::to_string(limit) + " bytes accepted)";
}

void ThrowIfStopped(const PictureRequest& request) {
  if (request.limits.stop != nullptr && request.limits.stop->load()) {
    throw Error("Stopped while decoding " + request.source);
  }
}

// Starts one resampler per output once the header is known, at the output's size as stored
// (turned back from upright), and hands each batch of rows to all of them, turned into lanes
// once.
class OutputsConsumer final : public ScanlineConsumer {
 public:
  OutputsConsumer(const PictureRequest& request, FastImage& holder)
      : request_(request), holder_(holder) {}

  int ChooseScale(int width, int height, const SourceMarkers& markers) override {
    holder_.MutableMarkers() = markers;
    const bool swap = OrientationSwapsSides(request_.orientation);
    stored_.clear();
    for (const OutputImage& output : request_.outputs) {
      const ThumbnailSize size = OutputSize(output, swap ? height : width, swap ? width : height);
      stored_.push_back(swap ? ThumbnailSize{size.height, size.width} : size);
    }
    scale_ = request_.fast ? FastDecodeScale(request_, width, height) : 1;
    return scale_;
  }
  void Begin(int width, int height) override {
    width_ = width;
    for (std::size_t i = 0; i < stored_.size(); ++i) {
      holder_.output(i).resampler.Start(width, height, stored_[i].width, stored_[i].height,
                                        Lanczos3Filter, 3.0f);
    }
  }
  void TakeRows(int first, const std::uint8_t* const* rows, int count) override {
    if (stored_.size() == 1) return holder_.output(0).resampler.TakeRows(first, rows, count);
    std::vector<float>& lanes = holder_.lanes();
    lanes.resize(static_cast<std::size_t>(width_) * 3 * kLanes);
    holder_.output(0).resampler.TurnIntoLanes(rows, count, width_, lanes.data());
    for (std::size_t i = 0; i < stored_.size(); ++i) {
      holder_.output(i).resampler.TakeLanes(first, lanes.data(), count);
    }
  }
  int scale() const { return scale_; }

 private:
  const PictureRequest& request_;
  FastImage& holder_;
  std::vector<ThumbnailSize> stored_;
  int width_ = 0;
  int scale_ = 1;
};

// A photo that is not a JPEG, read whole by its reader and handed over as a JPEG's rows are.
void FeedDecodedPicture(const PictureRequest& request, OutputsConsumer& consumer) {
  DecodedPicture picture = DecodePicture(request.source, request.format, request.limits.max_pixels);
  ThrowIfStopped(request);
  SourceMarkers markers;
  if (picture.info.icc_profile.size() <= request.limits.max_profile_bytes) {
    markers.icc_profile = std::move(picture.info.icc_profile);
  } else if (DescribesRgb(picture.info.icc_profile)) {
    markers.oversized_rgb_profile = picture.info.icc_profile.size();
  }
  const TFastBmp& bitmap = picture.bitmap;
  consumer.ChooseScale(bitmap.Width(), bitmap.Height(), markers);
  consumer.Begin(bitmap.Width(), bitmap.Height());
  for (int y = 0; y < bitmap.Height(); y += kRowBatch) {
    const int count = std::min(kRowBatch, bitmap.Height() - y);
    const std::uint8_t* rows[kRowBatch];
    for (int i = 0; i < count; ++i) rows[i] = bitmap.Row(y + i);
    consumer.TakeRows(y, rows, count);
    ThrowIfStopped(request);
  }
}

// The decode into every output's resampler; returns the decoder's warnings.
std::string Decode(const PictureRequest& request, OutputsConsumer& consumer) {
  if (request.format == ImageFormat::Jpeg) {
    return DecodeJpegFileRows(request.source, consumer, request.limits);
  }
  FeedDecodedPicture(request, consumer);
  return {};
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

ThumbnailSize FitLongSide(int maxSide, int width, int height) {
  const int longer = std::max(width, height);
  if (longer <= maxSide || width <= 0 || height <= 0)
    return {std::max(1, width), std::max(1, height)};
  const auto scaled = [&](int side) {
    const double exact = static_cast<double>(side) * maxSide / longer;
    return std::max(1, static_cast<int>(std::nearbyint(exact)));
  };
  return {width == longer ? maxSide : scaled(width), height == longer ? maxSide : scaled(height)};
}

ThumbnailSize OutputSize(const OutputImage& output, int width, int height) {
  switch (output.fit) {
    case OutputFit::Box:
      return FitToBox(output.width, output.height, width, height);
    case OutputFit::DoubleBox: {
      const ThumbnailSize single = FitToBox(output.width, output.height, width, height);
      return {2 * single.width, 2 * single.height};
    }
    case OutputFit::LongSide:
      break;
  }
  return FitLongSide(output.width, width, height);
}

int FastDecodeScale(const PictureRequest& request, int width, int height) {
  const bool swap = OrientationSwapsSides(request.orientation);
  for (const int d : {8, 4, 2}) {
    const long long scaled_w = (static_cast<long long>(width) + d - 1) / d;
    const long long scaled_h = (static_cast<long long>(height) + d - 1) / d;
    const bool covers =
        std::all_of(request.outputs.begin(), request.outputs.end(), [&](const OutputImage& output) {
          const ThumbnailSize upright =
              OutputSize(output, swap ? height : width, swap ? width : height);
          const long long factor = output.fit == OutputFit::LongSide ? 1 : 2;
          const long long w = swap ? upright.height : upright.width;
          const long long h = swap ? upright.width : upright.height;
          return scaled_w >= factor * w && scaled_h >= factor * h;
        });
    if (covers) return d;
  }
  return 1;
}

ThumbnailMark OutputMark(const PictureRequest& request, int scale_denominator) {
  const int orientation = request.orientation;
  return {scale_denominator > 1, orientation >= 2 && orientation <= 8 ? orientation : 1};
}

std::vector<std::string> MakePictureOutputs(FastImage& holder, const PictureRequest& request) {
  std::vector<std::string> warnings;
  try {
    holder.MutableMarkers() = SourceMarkers();
    OutputsConsumer consumer(request, holder);
    const std::string decoded = Decode(request, consumer);
    if (!decoded.empty()) warnings.push_back(decoded);
    const SourceMarkers& markers = holder.Markers();
    const std::string comment = MarkComment(OutputMark(request, consumer.scale()));
    bool colour_output = false;
    for (std::size_t i = 0; i < request.outputs.size(); ++i) {
      const OutputImage& output = request.outputs[i];
      FastImage::Output& made = holder.output(i);
      made.resampler.Finish(made.bitmap);
      if (request.orientation >= 2 && request.orientation <= 8) {
        made.bitmap = OrientBitmap(made.bitmap, request.orientation);
      }
      const bool colour = request.keep_color_profile && !output.grayscale;
      colour_output = colour_output || colour;
      const bool keep_profile = colour && DescribesRgb(markers.icc_profile);
      const std::string bytes =
          EncodeJpeg(made.bitmap, output.quality, output.grayscale,
                     keep_profile ? markers.icc_profile : std::string(), comment);
      // Written through a temporary file: an existing output survives any failure.
      if (const int error = platform::WriteFileAtomically(output.target, bytes); error != 0) {
        throw Error(FormatMessage("Cannot create file %s", output.target),
                    platform::ErrorText(error));
      }
    }
    if (colour_output && markers.oversized_rgb_profile > 0) {
      warnings.push_back(
          ProfileWarning(markers.oversized_rgb_profile, request.limits.max_profile_bytes));
    }
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory making a thumbnail of " + request.source);
  }
  return warnings;
}

}  // namespace quorvel::imaging
