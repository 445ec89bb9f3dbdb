// Relative links between directories: from the page's directory to an image, a thumbnail,
// a background image or another page.
#pragma once

#include <string>
#include <string_view>

#include "job/path_style.h"

namespace quorvel {

// The relative path from `fromDir` to `toDir`, ending with a separator unless empty.
// Between different roots (other Windows drives or shares, or an absolute and a relative
// path) no relative link exists: `toDir` is returned with a trailing separator.
std::string RelativePath(std::string_view fromDir, std::string_view toDir, PathStyle style);

// The relative link from a page in `fromDir` (ending in a separator) to the file `path`.
std::string RelativeFileLink(std::string_view fromDir, std::string_view path, PathStyle style);

}  // namespace quorvel
