#include "job/path_names.h"

namespace quorvel {

std::string BaseName(std::string_view path, PathStyle style) {
  std::string name = FileNamePart(path, style);
  const std::size_t dot = name.find('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string StemBeforeLastDot(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

std::string LastPathComponent(std::string_view path, PathStyle style) {
  if (EndsWithSeparator(path, style)) path.remove_suffix(1);
  const std::size_t sep = LastSeparator(path, style);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string Extension(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

}  // namespace quorvel
