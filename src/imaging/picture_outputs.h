// Every JPEG made of one photo from one decode: the thumbnail, its 2x version and the display
// copy of a web gallery. The decoded rows go into one exact Lanczos3 resampler per output, so
// the full-size picture of a JPEG is never held, and each output is exactly what a decode for it
// alone would give.
#pragma once

#include <string>
#include <vector>

#include "imaging/decode_limits.h"
#include "imaging/fast_image.h"
#include "imaging/thumbnail_mark.h"
#include "job/image_formats.h"

namespace quorvel::imaging {

struct ThumbnailSize {
  int width;
  int height;
};

// The thumbnail's size for an image in the box; a side that would be 0 is 1.
ThumbnailSize FitToBox(int boxWidth, int boxHeight, int imageWidth, int imageHeight);

// The image's size with its longer side brought down to `maxSide` (the shorter side rounded,
// ties to even, at least 1); a smaller image keeps its size.
ThumbnailSize FitLongSide(int maxSide, int width, int height);

enum class OutputFit {
  Box,        // fitted into the box (FitToBox): the thumbnail
  DoubleBox,  // twice the size of the box's fit: the thumbnail for 2x screens
  LongSide,   // the longer side at most `width` (FitLongSide): the display copy
};

struct OutputImage {
  std::string target;
  OutputFit fit = OutputFit::Box;
  int width = 70;   // of the box; the longest side for LongSide
  int height = 70;  // of the box
  int quality = 60;
  bool grayscale = false;
};

// The pixel size of `output` for a photo of `width` x `height` as it is seen (upright).
ThumbnailSize OutputSize(const OutputImage& output, int width, int height);

struct PictureRequest {
  std::string source;
  ImageFormat format = ImageFormat::Jpeg;
  // The Orientation (2 to 8) to turn the outputs upright by, as the photo's header gave it while
  // the run was planned; 1 when none is applied.
  int orientation = 1;
  // Carry the source's RGB ICC profile into colour outputs.
  bool keep_color_profile = true;
  // JPEG only: decode at a reduced DCT scale that still covers every output (twice a
  // thumbnail, once a display copy). Not byte-identical to the exact outputs.
  bool fast = false;
  DecodeLimits limits{};
  std::vector<OutputImage> outputs;
};

// The largest reduction (8, 4 or 2; else 1) of a `width` x `height` decode (the size divided and
// rounded up) that is still at least twice each thumbnail and once each display copy, on both
// axes; `width` and `height` as stored, the outputs' sizes upright under `orientation`.
int FastDecodeScale(const PictureRequest& request, int width, int height);

// The mark every output carries: fast when decoded at a reduced scale, turned by the
// orientation applied.
ThumbnailMark OutputMark(const PictureRequest& request, int scale_denominator);

// Decodes the source once and writes each output, turned upright, through a temporary file.
// Returns the warnings for the image, each a message without its name: the decoder's (a file
// that ends early, damaged data) and an RGB profile too large to be carried.
// Throws Error: "Cannot open file %s", "JPEG error #%d", "Cannot read image %s" (the other
// formats), a refusal of `request.limits` (the stop flag's included), "Cannot create file %s"
// (the system's reason as the detail). An output written before a later one fails stays.
std::vector<std::string> MakePictureOutputs(FastImage& holder, const PictureRequest& request);

}  // namespace quorvel::imaging
