#include "run/path_identity.h"

#include "job/path_names.h"

namespace quorvel {

std::string PathIdentities::DirectoryKey(const std::string& dir) {
  if (const auto found = directories_.find(dir); found != directories_.end()) return found->second;
  std::string key;
  if (const std::optional<platform::FileId> id = platform::GetFileId(dir.empty() ? "." : dir)) {
    // A control byte starts it: no path text is taken for an identity.
    key = "\x01" + std::to_string(id->device) + ":" + std::to_string(id->inode);
  } else {
    const std::string parent = DirectoryPart(dir, style_);
    key = parent == dir || parent.empty()
              ? dir
              : DirectoryKey(parent) + "/" + LastPathComponent(dir, style_);
  }
  directories_.emplace(dir, key);
  return key;
}

std::string PathIdentities::Key(const std::string& path) {
  if (style_ != PathStyle::Posix) return path;
  return DirectoryKey(DirectoryPart(path, style_)) + "/" + FileNamePart(path, style_);
}

std::optional<platform::FileId> PathIdentities::Existing(const std::string& path) const {
  if (style_ != PathStyle::Posix) return std::nullopt;
  return platform::GetFileId(path);
}

std::optional<platform::FileId> PathIdentities::Shared(const std::string& path) const {
  if (style_ != PathStyle::Posix) return std::nullopt;
  return platform::GetSharedFileId(path);
}

}  // namespace quorvel
