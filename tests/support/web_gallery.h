// A web gallery's test library, and each output rendered again the plain way.
#pragma once

#include <string>
#include <vector>

#include "imaging/picture_outputs.h"
#include "job/gallery_settings.h"
#include "run/output_plan.h"

namespace quorvel::testing {

class TempDir;

// MakeAwkwardLibrary's photos, web-ready, with display copies of at most 100 pixels: some photos
// are brought down, the others keep their size.
GallerySettings AwkwardWebGallery(const TempDir& tmp);

// Writes formats/ into `tmp`: a photo of each format, some turned by their own tags, and a file
// of each format whose header is cut short. Returns the directory.
std::string MakeFormatsLibrary(const TempDir& tmp);

// The bytes a run should write for `output` of the photo `source`: the whole picture decoded,
// resampled by the reference resampler, turned upright, encoded with its RGB profile if kept.
std::string ReferenceOutput(const std::string& source, const imaging::OutputImage& output,
                            bool keep_color_profile = true);

// The thumbnail, the 2x thumbnail and the display copy a run with `settings` makes of `image`.
std::vector<imaging::OutputImage> WebOutputs(const GallerySettings& settings,
                                             const ImagePlan& image);

}  // namespace quorvel::testing
