#include "job/path_style.h"

namespace quorvel {

std::size_t LastSeparator(std::string_view path, PathStyle style) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (IsSeparator(path[i], style)) return i;
  }
  return std::string_view::npos;
}

std::string FileNamePart(std::string_view path, PathStyle style) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i], style) || (style == PathStyle::Windows && path[i] == ':')) {
      start = i + 1;
    }
  }
  return std::string(path.substr(start));
}

std::string DirectoryPart(std::string_view path, PathStyle style) {
  const std::size_t sep = LastSeparator(path, style);
  if (sep == std::string_view::npos) {
    if (style == PathStyle::Windows) {
      const std::size_t colon = path.rfind(':');
      if (colon != std::string_view::npos) return std::string(path.substr(0, colon + 1));
    }
    return {};
  }
  const bool is_root = sep == 0 || (style == PathStyle::Windows && sep > 0 && path[sep - 1] == ':');
  return std::string(path.substr(0, is_root ? sep + 1 : sep));
}

std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style) {
  std::string result(dir);
  if (!EndsWithSeparator(dir, style)) result += Separator(style);
  result += name;
  return result;
}

std::string WithTrailingSeparator(std::string_view dir, PathStyle style) {
  std::string result(dir);
  if (!result.empty() && !EndsWithSeparator(dir, style)) result += Separator(style);
  return result;
}

}  // namespace quorvel
