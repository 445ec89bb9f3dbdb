// The demo of the README's first command on a machine without a display: photo-like JPEGs
// drawn by the program itself, turned into a gallery.
#pragma once

#include <string>

#include "cli/batch_options.h"

namespace quorvel::cli {

// Writes the demo photos into `dir`/photos, creating `dir` and its parents as needed, and
// returns options that make their gallery in `dir`/gallery. Throws Error when a directory or
// a file cannot be written.
BatchOptions PrepareDemoGallery(const std::string& dir, const BatchOptions& base);

}  // namespace quorvel::cli
