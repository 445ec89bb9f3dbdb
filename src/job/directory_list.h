// The gallery job's input list of image directories, and the two scans of the disk: the
// sub-directory walk that fills the list and the image scan of one directory.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

// Keeps `Directories` in ascending case-insensitive order; duplicates are allowed.
void InsertDirectorySorted(std::vector<std::string>& directories, const std::string& path);

// Adds a directory found by the walk unless it is an eliminated thumbnail directory.
// Returns whether it was added.
bool AddDirectoryEntry(OutputSettings& output, const std::string& path, PathStyle style);

// A directory chosen in the picker without its sub-directories: the picked path (with its
// trailing separator) is added without its last character.
void AddPickedDirectory(OutputSettings& output, const std::string& pickedPath);

// Removes the entries whose flag in `selected` is set (same length as the list).
void RemoveSelectedDirectories(std::vector<std::string>& directories,
                               const std::vector<bool>& selected);

// "&Filter": removes entries named like the thumbnail directory. Throws
// Error("Wrong thumbnail directory") when that name is empty.
void FilterThumbnailDirectories(OutputSettings& output, PathStyle style);

// Walks every directory below `dir`, depth first, a directory before its children; hidden
// entries are skipped, a link to a directory already being walked is not followed, and
// unreadable directories yield nothing. `cancelled`, when given, is polled between entries.
void ScanSubDirectories(const std::string& dir,
                        const std::function<void(const std::string& path)>& callback,
                        const std::function<bool()>& cancelled = {});

// Full paths of the photos (files whose extension names a format of FormatOfName, in any letter
// case; not hidden; regular files) directly inside `dir`, in the file system's order.
std::vector<std::string> ScanImages(const std::string& dir);

struct CollectedImages {
  std::vector<std::string> images;   // the run's images
  std::vector<std::string> skipped;  // photos of other formats than JPEG, when those are not taken
};

// The image list of a run: directory by directory in the order of `directories` (one listed
// twice is taken once), and within a directory its images by file name, case-insensitively
// (names equal but for case both kept, in byte order). A directory whose images sort around
// one of its sub-directories is thus met once. JPEG files are always taken, the other formats
// with `otherFormats`; otherwise they are listed as skipped, in the same order.
CollectedImages CollectImages(const std::vector<std::string>& directories, bool otherFormats);

}  // namespace quorvel
