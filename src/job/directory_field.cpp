#include "job/directory_field.h"

namespace quorvel {

std::string MissingDirectoryQuestion(const std::string& path) {
  return "Directory \"" + path + "\" does not exist. Do you want create it?";
}

std::string NormalizeDirectoryField(const std::string& text, PathStyle style,
                                    const DirectoryOps& ops, const Question& ask) {
  if (text.empty()) return text;
  std::string normalised = text;
  const bool ends_ok = text.back() == '/' || text.back() == '\\';
  if (!ends_ok || (style == PathStyle::Posix && text.back() == '\\')) {
    normalised += Separator(style);
  }
  if (!ops.exists(normalised) && ask && ask(MissingDirectoryQuestion(normalised))) {
    ops.create_one_level(normalised);
  }
  return normalised;
}

}  // namespace quorvel
