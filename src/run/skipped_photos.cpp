#include "run/skipped_photos.h"

#include <set>

#include "job/image_formats.h"

namespace quorvel {

std::string SkippedPhotosLine(const std::vector<std::string>& skipped) {
  if (skipped.empty()) return {};
  std::set<std::string> formats;
  for (const std::string& path : skipped)
    formats.insert(std::string(FormatLabel(FormatOfName(path))));
  std::string list;
  for (const std::string& format : formats) list += (list.empty() ? "" : ", ") + format;
  const std::size_t n = skipped.size();
  return std::to_string(n) + (n == 1 ? " photo" : " photos") + " skipped (" + list + "): not JPEG";
}

}  // namespace quorvel
