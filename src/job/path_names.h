// Name rules shared by page assembly, the HTML fragments and picture pages.
#pragma once

#include <string>
#include <string_view>

#include "job/path_style.h"

namespace quorvel {

// The file name part of `path` up to, not including, its first "."; a.b.jpg gives a.
std::string BaseName(std::string_view path, PathStyle style);

// The file name without its last extension: a.1.jpg gives a.1 (used where BaseName collides).
std::string StemBeforeLastDot(std::string_view fileName);

// One trailing separator is ignored; the text after the last remaining separator.
std::string LastPathComponent(std::string_view path, PathStyle style);

// The extension from the last "." (dot included, letter case kept), or empty.
std::string Extension(std::string_view fileName);

}  // namespace quorvel
