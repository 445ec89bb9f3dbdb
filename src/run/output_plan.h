// Every output path of a run, computed before the first file is written: thumbnail and
// picture-page names with clashes between images resolved, the web-ready set's photo pages,
// display copies and 2x thumbnails, the index pages, and the refusal of settings whose outputs
// would overwrite each other or a source image.
#pragma once

#include <string>
#include <vector>

#include "imaging/jpeg_header.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/page_plan.h"

namespace quorvel {

// Pixel sizes of an image's outputs, upright; 0 until its header is known.
struct OutputSizes {
  int thumbnail_width = 0;
  int thumbnail_height = 0;
  int display_width = 0;
  int display_height = 0;
};

struct ImagePlan {
  std::string path;                 // the source image
  std::string directory;            // its directory, without a trailing separator
  std::string file_name;            // its name on disk
  std::string thumbnail_directory;  // of its thumbnail
  std::string thumbnail_name;       // file name of its thumbnail
  std::string thumbnail_path;       // full path of its thumbnail
  std::string page_base;            // base of its picture page name (page_base + ".html")
  std::string picture_page_path;    // full path of its picture page
  // The web-ready set's outputs, empty while their part is off.
  std::string double_thumbnail_name;  // beside the thumbnail
  std::string double_thumbnail_path;
  std::string photo_page_path;     // in the photos directory: its base + ".html"
  std::string display_path;        // beside the photo page: its base + ".jpg"
  std::string original_copy_path;  // "originals" in the photos directory, when copied there
  imaging::SourceHeader source;    // what its header says, read while planning
  OutputSizes sizes;
};

struct OutputPlan {
  std::vector<ImagePlan> images;
  PageLayout layout;
};

// Plans the outputs of `images` (full paths in run order). Throws Error naming the clashing
// sources and the setting to change when two outputs would land on one file, or one on a source
// or on one of `otherFiles` (files found among the images that get no output).
OutputPlan PlanOutputs(const GallerySettings& settings, const std::vector<std::string>& images,
                       PathStyle style, const std::vector<std::string>& otherFiles = {});

// The sizes of each image's outputs from its header: the thumbnail fitted into the box, the
// display copy with its longer side at most DisplaySize, both upright when the orientation is
// applied.
void SizeOutputs(std::vector<ImagePlan>& images, const GallerySettings& settings,
                 bool applyOrientation);

}  // namespace quorvel
