#include "job/directory_field.h"

#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel {
namespace {

[[noreturn]] void ThrowCannotCreate(const std::string& path, int error) {
  throw Error(FormatMessage("Cannot create directory %s", path) + " (" +
              platform::ErrorText(error) + ")");
}

// The text of the question asked for a missing directory.
std::string MissingDirectoryQuestion(const std::string& path) {
  return "Directory \"" + path + "\" does not exist. Do you want create it?";
}

}  // namespace

std::string NormalizeDirectoryField(const std::string& text, PathStyle style,
                                    const DirectoryOps& ops, const Question& ask) {
  if (text.empty()) return text;
  std::string normalised = text;
  const bool ends_ok = text.back() == '/' || text.back() == '\\';
  if (!ends_ok || (style == PathStyle::Posix && text.back() == '\\')) {
    normalised += Separator(style);
  }
  if (!ops.exists(normalised) && ask && ask(MissingDirectoryQuestion(normalised))) {
    if (const int error = ops.create(normalised); error != 0) ThrowCannotCreate(normalised, error);
  }
  return normalised;
}

void CreateDirectoriesOrThrow(const std::string& path) {
  if (const int error = platform::CreateDirectories(path); error != 0) {
    ThrowCannotCreate(path, error);
  }
}

}  // namespace quorvel
