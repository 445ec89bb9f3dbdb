// What a path is on disk, so that two spellings of one file compare equal whatever links lie on
// the way: a file is its directory's device and inode plus its name. A directory that does not
// exist yet (one the run will create) is its parent's identity plus its name.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "job/path_style.h"
#include "platform/file_system.h"

namespace quorvel {

class PathIdentities {
 public:
  // In Windows style (paths of no real disk) a path is only its text.
  explicit PathIdentities(PathStyle style) : style_(style) {}

  // Equal for two paths exactly when a file written through one lands on the other.
  std::string Key(const std::string& path);

  // The device and inode of what exists at `path` (links followed), if anything.
  std::optional<platform::FileId> Existing(const std::string& path) const;
  // The same, only when another name may lead to that file (see GetSharedFileId).
  std::optional<platform::FileId> Shared(const std::string& path) const;

 private:
  std::string DirectoryKey(const std::string& dir);

  PathStyle style_;
  std::map<std::string, std::string> directories_;  // directory text -> its key
};

}  // namespace quorvel
