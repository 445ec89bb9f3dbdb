#include "run/page_file.h"

#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel {

bool WritePageUnlessSame(const std::string& path, const std::string& text) {
  std::string existing;
  if (platform::FileSize(path) == text.size() && platform::ReadWholeFile(path, existing) == 0 &&
      existing == text) {
    return false;
  }
  if (const int error = platform::WriteFileAtomically(path, text); error != 0) {
    throw Error(FileErrorMessage("Cannot create file %s", path, error));
  }
  return true;
}

}  // namespace quorvel
