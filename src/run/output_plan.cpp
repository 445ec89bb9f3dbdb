#include "run/output_plan.h"

#include <map>

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

}  // namespace

OutputPlan PlanOutputs(const GallerySettings& settings, const std::vector<std::string>& images,
                       PathStyle style, const std::vector<std::string>& otherFiles) {
  const OutputSettings& output = settings.Output;
  const bool picturePages = settings.Picture.CreatePicturePages;
  const std::size_t n = images.size();
  std::vector<ImagePlan> plans(n);
  std::map<std::string, std::vector<std::size_t>> by_directory;
  for (std::size_t i = 0; i < n; ++i) {
    plans[i].path = images[i];
    plans[i].directory = DirectoryPart(images[i], style);
    plans[i].file_name = FileNamePart(images[i], style);
    by_directory[plans[i].directory].push_back(i);
  }
  const std::string& mask = settings.Thumbnail.ThumbnailNameMask;
  std::vector<int> thumb_level(n, 0);
  std::vector<int> page_level(n, 0);
  for (const auto& [dir, members] : by_directory) {
    ResolveClashes(thumb_level, kLastBaseLevel, members, [&](std::size_t i) {
      return ThumbnailNameWithBase(mask, BaseAtLevel(plans[i].file_name, thumb_level[i], style),
                                   plans[i].file_name);
    });
    if (picturePages) {
      ResolveClashes(page_level, kLastBaseLevel, members, [&](std::size_t i) {
        return BaseAtLevel(plans[i].file_name, page_level[i], style);
      });
    }
  }
  // Across directories that share one thumbnail directory, prefix parent directory names.
  std::vector<int> prefix_depth(n, 0);
  std::vector<std::size_t> all(n);
  for (std::size_t i = 0; i < n; ++i) all[i] = i;
  const auto thumbnail_path = [&](std::size_t i) {
    const std::string name =
        ParentPrefix(plans[i].directory, prefix_depth[i], style) +
        ThumbnailNameWithBase(mask, BaseAtLevel(plans[i].file_name, thumb_level[i], style),
                              plans[i].file_name);
    return JoinPath(ThumbnailDirectoryFor(output, plans[i].directory, style), name, style);
  };
  if (MaskHasPlaceholder(mask, 'f')) ResolveClashes(prefix_depth, 64, all, thumbnail_path);
  for (std::size_t i = 0; i < n; ++i) {
    plans[i].thumbnail_path = thumbnail_path(i);
    plans[i].thumbnail_name = FileNamePart(plans[i].thumbnail_path, style);
    plans[i].page_base = BaseAtLevel(plans[i].file_name, page_level[i], style);
    plans[i].picture_page_path = PicturePageName(plans[i].directory, plans[i].page_base, style);
  }
  std::vector<std::string> directories(n);
  for (std::size_t i = 0; i < n; ++i) directories[i] = plans[i].directory;
  OutputPlan plan{std::move(plans), PlanPages(output, directories, style)};
  RefuseClashingOutputs(settings, plan.images, plan.pages, style, otherFiles);
  return plan;
}

}  // namespace quorvel
