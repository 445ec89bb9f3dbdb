// What the tests of a web gallery hold its outputs to: a library of the formats phones and
// editors write, and each output rendered again the plain way (whole decode, reference
// resampler, turn, encode).
#pragma once

#include <string>
#include <vector>

#include "imaging/picture_outputs.h"
#include "job/gallery_settings.h"
#include "run/output_plan.h"

namespace quorvel::testing {

class TempDir;

// MakeAwkwardLibrary's photos into web/ and thumbs/ of `tmp` (GalleryInto) with the web-ready
// set on and display copies of at most 100 pixels (so that some photos are brought down and the
// others keep their size).
GallerySettings AwkwardWebGallery(const TempDir& tmp);

// Writes formats/ into `tmp`: "lossless.png" (160 x 120, stored turned: eXIf Orientation 6, a
// Display P3 profile), "lossy.webp", "phone.heic" (turned by its own irot), "still.avif",
// "photo.jpg", and a broken file of each format whose header cannot be read ("broken.png",
// "broken.webp", "broken.heic", "broken.avif"). Returns the directory.
std::string MakeFormatsLibrary(const TempDir& tmp);

// The bytes a run should write for `output` of the photo `source`: the whole picture decoded
// (the JPEG decoder or imaging::DecodePicture), brought to the output's size as stored by
// imaging::ResampleBitmap (Lanczos3, 3.0), turned upright by the photo's Orientation, encoded by
// imaging::EncodeJpeg with the RGB profile (in colour, when kept) and the mark of the turn.
std::string ReferenceOutput(const std::string& source, const imaging::OutputImage& output,
                            bool keep_color_profile = true);

// The thumbnail, the 2x thumbnail and the display copy a run with `settings` makes of `image`.
std::vector<imaging::OutputImage> WebOutputs(const GallerySettings& settings,
                                             const ImagePlan& image);

}  // namespace quorvel::testing
