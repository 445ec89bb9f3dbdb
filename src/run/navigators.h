// The page navigators of a run: the link lists between the pages of a set, taken from the page
// layout before the first page is written.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/page_plan.h"

namespace quorvel {

// One link list per navigator entry of the layout (PagePlan::navigator indexes it):
// - pages in the HTML directory, split: links labelled 1, 2, ... to every page; none when all
//   images fit on one page that is not full;
// - pages per directory in the HTML directory: a link to each directory's first page labelled
//   with the directory's name, followed, when split, by links labelled 2, 3, ... to its further
//   pages;
// - pages in the image directories, split: each directory's own list of links labelled 1, 2,
//   ..., empty when the directory fits on one page.
std::vector<std::string> BuildNavigators(const OutputSettings& output, const PageLayout& layout,
                                         PathStyle style);

}  // namespace quorvel
