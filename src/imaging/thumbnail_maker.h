// One source JPEG in, one thumbnail file out: decode, fit into the box, Lanczos3, encode; the
// single-output case of MakePictureOutputs, which the decoded rows go through without the
// full-size picture ever being held.
#pragma once

#include <string>
#include <vector>

#include "imaging/decode_limits.h"
#include "imaging/fast_image.h"
#include "imaging/picture_outputs.h"
#include "imaging/thumbnail_mark.h"

namespace quorvel::imaging {

struct ThumbnailRequest {
  std::string source;
  std::string target;
  int box_width = 70;
  int box_height = 70;
  int quality = 60;
  bool grayscale = false;
  // Turn the thumbnail upright by `orientation` (2 to 8).
  bool apply_orientation = true;
  // The source's Exif Orientation as its header gave it (SourceHeader::orientation): the Exif
  // block is read once, while the run is planned, not again here.
  int orientation = 1;
  // Carry the source's RGB ICC profile into a colour thumbnail.
  bool keep_color_profile = true;
  // Decode at a reduced DCT scale (FastDecodeScale): much faster, visually the same, not
  // byte-identical to the exact thumbnail.
  bool fast = false;
  // The bounds of the decode, and the flag that stops it.
  DecodeLimits limits{};
};

// The largest reduction (8, 4 or 2; else 1) whose decoded picture, the size divided and
// rounded up, is still at least twice the thumbnail on both axes.
int FastDecodeScale(int width, int height, int thumbnailWidth, int thumbnailHeight);

// The mark (MarkComment) the thumbnail of a request carries: fast when decoded at a reduced
// scale (`scale_denominator` above 1), turned when an Orientation of 2 to 8 is applied.
ThumbnailMark MarkFor(const ThumbnailRequest& request, int scale_denominator);

// A source with neither an Orientation of 2 to 8 nor an RGB profile, or one made with both
// options off, gives the plain decode-fit-resample-encode thumbnail. An Orientation of 5 to 8
// fits the box with width and height exchanged; the stored pixels are resampled to the size
// that becomes the fitted one once turned, and then turned. A thumbnail made from a reduced
// decode or turned carries its mark in a comment marker.
// Returns the warnings for the image, each a message without its name: libjpeg's (a file that
// ends early, damaged data) and an RGB profile too large to be carried.
// Throws Error: "Cannot open file %s", "JPEG error #%d", a refusal of `request.limits` (the
// stop flag's included), "Cannot create file %s" (the system's reason as the detail). The
// target is written through a temporary file, so an existing thumbnail survives any failure.
std::vector<std::string> MakeThumbnail(FastImage& holder, const ThumbnailRequest& request);

}  // namespace quorvel::imaging
