#include "run/output_plan.h"

#include <cmath>
#include <map>

#include "imaging/orientation.h"
#include "imaging/picture_outputs.h"
#include "job/image_formats.h"
#include "job/output_names.h"
#include "job/path_names.h"
#include "run/output_clashes.h"
#include "run/page_plan.h"

namespace quorvel {
namespace {

// Candidate bases of one image, from the plain rule to names derived from more of its path.
std::string BaseAtLevel(const std::string& fileName, int level, PathStyle style) {
  if (level == 0) return BaseName(fileName, style);
  if (level == 1) return StemBeforeLastDot(fileName);
  return fileName;
}
constexpr int kLastBaseLevel = 2;
constexpr int kDeepestPrefix = 64;

// `directory`'s last `count` components joined by "_", followed by "_".
std::string ParentPrefix(const std::string& directory, int count, PathStyle style) {
  std::string prefix;
  std::string rest = directory;
  for (int i = 0; i < count; ++i) {
    const std::string name = LastPathComponent(rest, style);
    if (name.empty() || name == rest) {
      if (!name.empty()) prefix = name + "_" + prefix;
      break;
    }
    prefix = name + "_" + prefix;
    rest = DirectoryPart(rest, style);
  }
  return prefix;
}

// Raises the level of every image whose key collides with another's, until no key repeats or
// no level is left. `key(i)` is recomputed from the levels on each round.
template <typename KeyFn>
void ResolveClashes(std::vector<int>& levels, int maxLevel, const std::vector<std::size_t>& members,
                    KeyFn key) {
  for (bool changed = true; changed;) {
    changed = false;
    std::map<std::string, std::vector<std::size_t>> groups;
    for (std::size_t i : members) groups[key(i)].push_back(i);
    for (const auto& [name, group] : groups) {
      if (group.size() < 2) continue;
      for (std::size_t i : group) {
        if (levels[i] < maxLevel) {
          ++levels[i];
          changed = true;
        }
      }
    }
  }
}

// Names of one kind of output for every image, each `name(i, base)` in `directory(i)`, made
// unique: first among the images of one source directory by taking more of the file name as
// the base, then, where several source directories share an output directory and `prefixed`,
// by putting parent directory names in front. Returns the full paths.
template <typename NameFn, typename DirectoryFn>
std::vector<std::string> UniquePaths(const std::vector<ImagePlan>& plans, NameFn name,
                                     DirectoryFn directory, bool prefixed, PathStyle style) {
  const std::size_t n = plans.size();
  std::map<std::string, std::vector<std::size_t>> by_directory;
  for (std::size_t i = 0; i < n; ++i) by_directory[plans[i].directory].push_back(i);
  const auto base = [&](std::size_t i, int level) {
    return BaseAtLevel(plans[i].file_name, level, style);
  };
  std::vector<int> level(n, 0);
  for (const auto& [dir, members] : by_directory) {
    ResolveClashes(level, kLastBaseLevel, members,
                   [&](std::size_t i) { return name(i, base(i, level[i])); });
  }
  std::vector<int> depth(n, 0);
  const auto path = [&](std::size_t i) {
    return JoinPath(directory(i),
                    ParentPrefix(plans[i].directory, depth[i], style) + name(i, base(i, level[i])),
                    style);
  };
  if (prefixed) {
    std::vector<std::size_t> all(n);
    for (std::size_t i = 0; i < n; ++i) all[i] = i;
    ResolveClashes(depth, kDeepestPrefix, all, path);
  }
  std::vector<std::string> paths(n);
  for (std::size_t i = 0; i < n; ++i) paths[i] = path(i);
  return paths;
}

void PlanThumbnails(const GallerySettings& settings, std::vector<ImagePlan>& plans,
                    PathStyle style) {
  const std::string& mask = settings.Thumbnail.ThumbnailNameMask;
  for (ImagePlan& plan : plans) {
    plan.thumbnail_directory = ThumbnailDirectoryFor(settings.Output, plan.directory, style);
  }
  // A thumbnail is a JPEG whatever the photo's format.
  const std::vector<std::string> paths = UniquePaths(
      plans,
      [&](std::size_t i, const std::string& base) {
        return ThumbnailNameWithBase(mask, base, JpegOutputName(plans[i].file_name));
      },
      [&](std::size_t i) { return plans[i].thumbnail_directory; }, MaskHasPlaceholder(mask, 'f'),
      style);
  for (std::size_t i = 0; i < plans.size(); ++i) {
    plans[i].thumbnail_path = paths[i];
    plans[i].thumbnail_name = FileNamePart(paths[i], style);
    if (settings.Web.HighDensityThumbnails) {
      plans[i].double_thumbnail_name = DoubleThumbnailName(plans[i].thumbnail_name);
      plans[i].double_thumbnail_path =
          JoinPath(plans[i].thumbnail_directory, plans[i].double_thumbnail_name, style);
    }
  }
}

void PlanPicturePages(std::vector<ImagePlan>& plans, PathStyle style) {
  const std::vector<std::string> paths = UniquePaths(
      plans, [](std::size_t, const std::string& base) { return base + ".html"; },
      [&](std::size_t i) { return plans[i].directory; }, false, style);
  for (std::size_t i = 0; i < plans.size(); ++i) {
    plans[i].picture_page_path = paths[i];
    plans[i].page_base = StemBeforeLastDot(FileNamePart(paths[i], style));
  }
}

// A photo page and its display copy share a base in the photos directory.
void PlanPhotoPages(const GallerySettings& settings, std::vector<ImagePlan>& plans,
                    PathStyle style) {
  const std::vector<std::string> pages = UniquePaths(
      plans, [](std::size_t, const std::string& base) { return base + ".html"; },
      [&](std::size_t i) { return PhotosDirectoryFor(settings.Output, plans[i].directory, style); },
      true, style);
  for (std::size_t i = 0; i < plans.size(); ++i) {
    ImagePlan& plan = plans[i];
    const std::string stem = StemBeforeLastDot(pages[i]);
    plan.photo_page_path = pages[i];
    plan.display_path = stem + ".jpg";
    if (settings.Web.Originals == 1) {
      // The photo's own extension, unless the base already ends with it (a name made unique
      // by taking the whole file name).
      const std::string base = FileNamePart(stem, style);
      const std::string extension = Extension(plan.file_name);
      plan.original_copy_path =
          JoinPath(JoinPath(DirectoryPart(stem, style), "originals", style),
                   base.ends_with(extension) ? base : base + extension, style);
    }
  }
}

}  // namespace

OutputPlan PlanOutputs(const GallerySettings& settings, const std::vector<std::string>& images,
                       PathStyle style, const std::vector<std::string>& otherFiles) {
  std::vector<ImagePlan> plans(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    plans[i].path = images[i];
    plans[i].directory = DirectoryPart(images[i], style);
    plans[i].file_name = FileNamePart(images[i], style);
  }
  PlanThumbnails(settings, plans, style);
  if (settings.Web.PhotoPages) {
    PlanPhotoPages(settings, plans, style);
  } else if (settings.Picture.CreatePicturePages) {
    PlanPicturePages(plans, style);
  }
  std::vector<std::string> directories(plans.size());
  for (std::size_t i = 0; i < plans.size(); ++i) directories[i] = plans[i].directory;
  OutputPlan plan{std::move(plans), PlanPages(settings.Output, directories, style)};
  RefuseClashingOutputs(settings, plan.images, plan.layout.pages, style, otherFiles);
  return plan;
}

void SizeOutputs(std::vector<ImagePlan>& images, const GallerySettings& settings,
                 bool applyOrientation) {
  for (ImagePlan& image : images) {
    const imaging::SourceHeader& h = image.source;
    const bool turned = applyOrientation && imaging::OrientationSwapsSides(h.orientation);
    const int width = turned ? h.height : h.width;
    const int height = turned ? h.width : h.height;
    const imaging::ThumbnailSize thumbnail = imaging::FitToBox(
        settings.Thumbnail.ThumbnailWidth, settings.Thumbnail.ThumbnailHeight, width, height);
    const imaging::ThumbnailSize display =
        imaging::FitLongSide(settings.Web.DisplaySize, width, height);
    image.sizes = {thumbnail.width, thumbnail.height, display.width, display.height};
  }
}

}  // namespace quorvel
