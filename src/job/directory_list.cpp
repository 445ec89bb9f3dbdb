#include "job/directory_list.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "job/error.h"
#include "job/image_formats.h"
#include "job/path_names.h"
#include "platform/file_system.h"

namespace quorvel {
namespace {

// Case-insensitive order; names equal but for case are told apart by their bytes, so two
// files that differ only in case (distinct on Linux) are both kept.
bool CaseInsensitiveLess(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

void Walk(const std::string& dir, const std::function<void(const std::string&)>& callback,
          const std::function<bool()>& cancelled, std::vector<platform::FileId>& ancestors) {
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(dir)) {
    if (cancelled && cancelled()) return;
    if (!entry.is_directory || entry.is_hidden) continue;
    const std::string path = JoinPath(dir, entry.name, PathStyle::Posix);
    const std::optional<platform::FileId> id = platform::GetFileId(path);
    if (!id) continue;
    // A link back to a directory being walked would recurse for ever.
    if (std::find(ancestors.begin(), ancestors.end(), *id) != ancestors.end()) continue;
    callback(path);
    ancestors.push_back(*id);
    Walk(path, callback, cancelled, ancestors);
    ancestors.pop_back();
  }
}

}  // namespace

void InsertDirectorySorted(std::vector<std::string>& directories, const std::string& path) {
  directories.insert(
      std::upper_bound(directories.begin(), directories.end(), path, CaseInsensitiveLess), path);
}

bool AddDirectoryEntry(OutputSettings& output, const std::string& path, PathStyle style) {
  if (output.ThumbnailsIntoImageDirectory && output.EliminateThumbnailDirectory &&
      LastPathComponent(path, style) == output.ThumbnailDirectoryName) {
    return false;
  }
  InsertDirectorySorted(output.Directories, path);
  return true;
}

void AddPickedDirectory(OutputSettings& output, const std::string& pickedPath) {
  if (pickedPath.empty()) return;
  std::string path = pickedPath.substr(0, pickedPath.size() - 1);
  // The root "/" would become empty; keep it as the root itself.
  if (path.empty()) path = pickedPath;
  InsertDirectorySorted(output.Directories, path);
}

void RemoveSelectedDirectories(std::vector<std::string>& directories,
                               const std::vector<bool>& selected) {
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < directories.size(); ++i) {
    if (i >= selected.size() || !selected[i]) kept.push_back(directories[i]);
  }
  directories = std::move(kept);
}

void FilterThumbnailDirectories(OutputSettings& output, PathStyle style) {
  if (output.ThumbnailDirectoryName.empty()) throw Error("Wrong thumbnail directory");
  std::erase_if(output.Directories, [&](const std::string& path) {
    return LastPathComponent(path, style) == output.ThumbnailDirectoryName;
  });
}

void ScanSubDirectories(const std::string& dir,
                        const std::function<void(const std::string& path)>& callback,
                        const std::function<bool()>& cancelled) {
  std::vector<platform::FileId> ancestors;
  if (const std::optional<platform::FileId> id = platform::GetFileId(dir)) ancestors.push_back(*id);
  Walk(dir, callback, cancelled, ancestors);
}

std::vector<std::string> ScanImages(const std::string& dir) {
  std::vector<std::string> images;
  for (const platform::DirectoryEntry& entry : platform::ListDirectory(dir)) {
    if (entry.is_hidden || !entry.is_regular_file) continue;
    if (FormatOfName(entry.name) == ImageFormat::None) continue;
    images.push_back(JoinPath(dir, entry.name, PathStyle::Posix));
  }
  return images;
}

CollectedImages CollectImages(const std::vector<std::string>& directories, bool otherFormats) {
  CollectedImages collected;
  std::unordered_set<std::string> seen;
  for (const std::string& dir : directories) {
    if (!seen.insert(dir).second) continue;
    // Sorted by the lower-case names, then by the bytes: CaseInsensitiveLess, each name
    // lowered once.
    std::vector<std::pair<std::string, std::string>> found;
    for (std::string& path : ScanImages(dir)) {
      std::string lower = path;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      found.emplace_back(std::move(lower), std::move(path));
    }
    std::sort(found.begin(), found.end());
    for (auto& [lower, path] : found) {
      const bool taken = otherFormats || FormatOfName(path) == ImageFormat::Jpeg;
      (taken ? collected.images : collected.skipped).push_back(std::move(path));
    }
  }
  return collected;
}

}  // namespace quorvel
