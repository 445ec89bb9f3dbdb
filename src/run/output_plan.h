// Every output path of a run, computed before the first file is written: thumbnail and
// picture-page names with clashes between images resolved, the index pages, and the refusal of
// settings whose outputs would overwrite each other or a source image.
#pragma once

#include <string>
#include <vector>

#include "imaging/jpeg_header.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/page_plan.h"

namespace quorvel {

struct ImagePlan {
  std::string path;               // the source image
  std::string directory;          // its directory, without a trailing separator
  std::string file_name;          // its name on disk
  std::string thumbnail_name;     // file name of its thumbnail
  std::string thumbnail_path;     // full path of its thumbnail
  std::string page_base;          // base of its picture page name (page_base + ".html")
  std::string picture_page_path;  // full path of its picture page
  imaging::SourceHeader source;   // what its header says, read while planning
};

struct OutputPlan {
  std::vector<ImagePlan> images;
  std::vector<PagePlan> pages;
};

// Plans the outputs of `images` (full paths in run order). Throws Error naming the clashing
// sources and the setting to change when two outputs would land on one file, or one on a source
// or on one of `otherFiles` (files found among the images that get no output).
OutputPlan PlanOutputs(const GallerySettings& settings, const std::vector<std::string>& images,
                       PathStyle style, const std::vector<std::string>& otherFiles = {});

}  // namespace quorvel
