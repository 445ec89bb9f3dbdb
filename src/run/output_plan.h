// Every output path of a run, computed before the first file is written: thumbnail and
// picture-page names with clashes between images resolved, and the refusal of settings whose
// outputs would overwrite each other or a source image.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

struct ImagePlan {
  std::string path;            // the source image
  std::string directory;       // its directory, without a trailing separator
  std::string file_name;       // its name on disk
  std::string thumbnail_name;  // file name of its thumbnail
  std::string thumbnail_path;  // full path of its thumbnail
  std::string page_base;       // base of its picture page name (page_base + ".html")
};

// Plans the outputs of `images` (full paths in run order). Throws Error naming the clashing
// files and the setting to change when the settings themselves make outputs collide.
std::vector<ImagePlan> PlanOutputs(const OutputSettings& output, const ThumbnailSettings& thumbnail,
                                   bool picturePages, const std::vector<std::string>& images,
                                   PathStyle style);

// The thumbnail mask expanded with `base` in place of "%f", plus the extension of `fileName`.
std::string ThumbnailNameWithBase(const std::string& mask, const std::string& base,
                                  const std::string& fileName);

}  // namespace quorvel
