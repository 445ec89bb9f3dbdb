// One spelling for one directory: paths as people type them ("web", "./p", "a//b", "a/../b",
// "p/") made absolute and tidied by their text alone, before any name or link is built on them.
#pragma once

#include <string>
#include <string_view>

#include "job/gallery_settings.h"

namespace quorvel {

// `path` made absolute against `workingDirectory` (itself absolute), with "." pieces dropped,
// each ".." taking away the piece before it (never above the root), and repeated and trailing
// "/" folded: "/" for the root, no trailing "/" otherwise. Symbolic links are kept as given, so
// "link/.." is the directory holding the link. An empty path stays empty.
std::string TidyPath(std::string_view path, std::string_view workingDirectory);

// Tidies the HTML directory, the thumbnail directory and every listed image directory.
void TidyOutputDirectories(OutputSettings& output, std::string_view workingDirectory);

}  // namespace quorvel
