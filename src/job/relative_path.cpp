#include "job/relative_path.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace quorvel {
namespace {

struct SplitPath {
  std::string root;  // drive, share or empty; never compared as a component
  bool absolute = false;
  std::vector<std::string_view> components;
};

// Pieces between separators, from `start`, up to the first empty piece.
std::vector<std::string_view> Components(std::string_view path, std::size_t start,
                                         PathStyle style) {
  std::vector<std::string_view> pieces;
  std::size_t pos = start;
  while (pos < path.size()) {
    std::size_t end = pos;
    while (end < path.size() && !IsSeparator(path[end], style)) ++end;
    if (end == pos) break;
    pieces.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return pieces;
}

std::size_t FirstSeparator(std::string_view path, PathStyle style, std::size_t from = 0) {
  for (std::size_t i = from; i < path.size(); ++i) {
    if (IsSeparator(path[i], style)) return i;
  }
  return std::string_view::npos;
}

SplitPath Split(std::string_view path, PathStyle style) {
  SplitPath split;
  if (style == PathStyle::Windows && path.size() >= 2 && IsSeparator(path[0], style) &&
      IsSeparator(path[1], style)) {
    // \\server\share is the root of a network path.
    std::size_t server_end = FirstSeparator(path, style, 2);
    std::size_t share_end = server_end == std::string_view::npos
                                ? path.size()
                                : FirstSeparator(path, style, server_end + 1);
    if (share_end == std::string_view::npos) share_end = path.size();
    split.root = std::string(path.substr(0, share_end));
    std::transform(split.root.begin(), split.root.end(), split.root.begin(),
                   [](unsigned char c) { return c == '/' ? '\\' : std::tolower(c); });
    split.absolute = true;
    split.components = Components(path, std::min(share_end + 1, path.size()), style);
    return split;
  }
  const std::size_t first = FirstSeparator(path, style);
  const bool has_drive = style == PathStyle::Windows && first != std::string_view::npos &&
                         first > 0 && path[first - 1] == ':';
  if (has_drive || first == 0) {
    split.root = std::string(path.substr(0, first));
    std::transform(split.root.begin(), split.root.end(), split.root.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    split.absolute = true;
    split.components = Components(path, first + 1, style);
  } else {
    split.components = Components(path, 0, style);
  }
  return split;
}

}  // namespace

std::string RelativePath(std::string_view fromDir, std::string_view toDir, PathStyle style) {
  if (fromDir == toDir) return {};
  const SplitPath from = Split(fromDir, style);
  const SplitPath to = Split(toDir, style);
  const bool same_root = from.absolute == to.absolute && from.root == to.root;
  if (!same_root || (from.absolute && from.components.empty())) {
    return WithTrailingSeparator(toDir, style);
  }
  std::size_t common = 0;
  while (common < from.components.size() && common < to.components.size() &&
         from.components[common] == to.components[common]) {
    ++common;
  }
  std::string result;
  const char sep = Separator(style);
  for (std::size_t i = common; i < from.components.size(); ++i) {
    result += "..";
    result += sep;
  }
  for (std::size_t i = common; i < to.components.size(); ++i) {
    result += to.components[i];
    result += sep;
  }
  return result;
}

std::string RelativeFileLink(std::string_view fromDir, std::string_view path, PathStyle style) {
  return RelativePath(fromDir, WithTrailingSeparator(DirectoryPart(path, style), style), style) +
         FileNamePart(path, style);
}

}  // namespace quorvel
