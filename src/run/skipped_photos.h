// Photos a run leaves out for their format: named, never skipped in silence.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

// "3 photos skipped (HEIC, PNG): not JPEG", the formats in alphabetical order; empty for none.
std::string SkippedPhotosLine(const std::vector<std::string>& skipped);

}  // namespace quorvel
