// The page navigators of a run, computed before the first page is written: link lists between
// the pages of a sequence, one list per page set.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

struct NavigatorInput {
  const OutputSettings& output;
  const std::vector<std::string>& images;  // full paths in run order
  int cells_per_row;
  int rows_per_page;
  PathStyle style;
};

std::vector<std::string> BuildNavigators(const NavigatorInput& input);

// The link list of the pages of directory `dir` (empty when they fit on one page).
std::string BuildDirectoryNavigator(const NavigatorInput& input, const std::string& dir);

}  // namespace quorvel
