#include "run/output_plan.h"

#include <filesystem>
#include <map>
#include <set>

#include "job/error.h"
#include "job/output_names.h"
#include "job/path_names.h"

namespace quorvel {
namespace {

struct MaskPlaceholders {
  bool file = false;    // %f
  bool number = false;  // %n or %Dn
  bool directory = false;  // %d
};

MaskPlaceholders ReadPlaceholders(const std::string& mask) {
  MaskPlaceholders found;
  for (std::size_t i = 0; i + 1 < mask.size(); ++i) {
    if (mask[i] != '%') continue;
    const char code = mask[++i];
    if (code == 'f') found.file = true;
    if (code == 'n') found.number = true;
    if (code == 'd') found.directory = true;
    if (code >= '0' && code <= '9' && i + 1 < mask.size() && mask[i + 1] == 'n') {
      found.number = true;
      ++i;
    }
  }
  return found;
}

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

void RefuseDuplicates(const std::vector<ImagePlan>& plans) {
  std::map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const auto [at, inserted] = seen.emplace(plans[i].thumbnail_path, i);
    if (!inserted) {
      throw Error("The thumbnails of " + plans[at->second].path + " and " + plans[i].path +
                  " would both be written to " + plans[i].thumbnail_path +
                  ": put \"%f\" into the Thumbnail Image Name Mask.");
    }
  }
}

// "a/./b" and "a//b" name the same file as "a/b".
std::string Normal(const std::string& path, PathStyle style) {
  if (style != PathStyle::Posix) return path;
  return std::filesystem::path(path).lexically_normal().string();
}

void RefuseOverwritingSources(const std::vector<ImagePlan>& plans, PathStyle style) {
  std::set<std::string> sources;
  for (const ImagePlan& plan : plans) sources.insert(Normal(plan.path, style));
  for (const ImagePlan& plan : plans) {
    if (sources.count(Normal(plan.thumbnail_path, style)) != 0) {
      throw Error("The thumbnail of " + plan.path + " would replace the image " +
                  plan.thumbnail_path + ": change the Thumbnail Image Name Mask.");
    }
  }
}

void RefuseSharedPageNames(const OutputSettings& out, int pageSize,
                           const std::vector<ImagePlan>& plans, PathStyle style) {
  if (!out.SeparateHTML || !(out.SplitHTML || out.NewHTMLForEachDirectory)) return;
  const MaskPlaceholders mask = ReadPlaceholders(out.HTMLFileMask);
  if (out.SplitHTML && !mask.number && static_cast<long long>(plans.size()) > pageSize) {
    throw Error("Every index page would be named " +
                PageFileName(out, plans.front().directory, 0, style) +
                ", each replacing the one before: put \"%n\" into the HTML File's Mask.");
  }
  if (out.NewHTMLForEachDirectory && !out.HTMLIntoImageDirectory && !mask.directory) {
    for (const ImagePlan& plan : plans) {
      if (plan.directory != plans.front().directory) {
        throw Error("The index pages of " + plans.front().directory + " and " + plan.directory +
                    " would share the name " + PageFileName(out, plan.directory, 0, style) +
                    ": put \"%d\" into the HTML File's Mask.");
      }
    }
  }
}

}  // namespace

std::string ThumbnailNameWithBase(const std::string& mask, const std::string& base,
                                  const std::string& fileName) {
  std::string result;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '%') {
      result += mask[i];
      continue;
    }
    if (i + 1 >= mask.size()) break;
    const char code = mask[++i];
    if (code == '%') result += '%';
    if (code == 'f') result += base;
  }
  return result + Extension(fileName);
}

std::vector<ImagePlan> PlanOutputs(const OutputSettings& output, const ThumbnailSettings& thumbnail,
                                   bool picturePages, const std::vector<std::string>& images,
                                   PathStyle style) {
  const std::size_t n = images.size();
  std::vector<ImagePlan> plans(n);
  std::map<std::string, std::vector<std::size_t>> by_directory;
  for (std::size_t i = 0; i < n; ++i) {
    plans[i].path = images[i];
    plans[i].directory = DirectoryPart(images[i], style);
    plans[i].file_name = FileNamePart(images[i], style);
    by_directory[plans[i].directory].push_back(i);
  }
  const std::string& mask = thumbnail.ThumbnailNameMask;
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
    const std::string name = ParentPrefix(plans[i].directory, prefix_depth[i], style) +
                             ThumbnailNameWithBase(mask, BaseAtLevel(plans[i].file_name, thumb_level[i], style),
                                                   plans[i].file_name);
    return JoinPath(ThumbnailDirectoryFor(output, plans[i].directory, style), name, style);
  };
  if (ReadPlaceholders(mask).file) ResolveClashes(prefix_depth, 64, all, thumbnail_path);
  for (std::size_t i = 0; i < n; ++i) {
    plans[i].thumbnail_path = thumbnail_path(i);
    plans[i].thumbnail_name = FileNamePart(plans[i].thumbnail_path, style);
    plans[i].page_base = BaseAtLevel(plans[i].file_name, page_level[i], style);
  }
  RefuseDuplicates(plans);
  RefuseOverwritingSources(plans, style);
  if (n > 0) {
    RefuseSharedPageNames(output, output.ThumbnailsInRow * output.ThumbnailsInColumn, plans, style);
  }
  return plans;
}

}  // namespace quorvel
