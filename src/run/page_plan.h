// The index pages of a run, laid out before the first one is opened: which images each page
// holds, its file name, and the navigator it shows. The clash refusal, the write probe, the
// navigators and the page writer all read this one layout.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"

namespace quorvel {

struct PagePlan {
  std::string path;
  std::string directory;  // of the image that opens the page
  int sequence = 0;       // pages of one page sequence share it
  int number = 0;         // PageNumber within the sequence, from 0
  int first_image = 0;    // index of the first image the page holds
  int image_count = 0;
  int navigator = -1;  // the entry of the navigator list the page shows, or -1 for none
};

struct PageLayout {
  std::vector<PagePlan> pages;
  std::vector<int> page_of_image;  // index into `pages` for every image
  int navigator_count = 0;         // entries of the navigator list
  int cells_per_row = 1;
};

// `directories` are the images' directories in run order. A new sequence starts at every
// change of directory when pages are made per directory; a sequence is split into pages of
// ThumbnailsInRow x ThumbnailsInColumn cells when splitting is on.
PageLayout PlanPages(const OutputSettings& output, const std::vector<std::string>& directories,
                     PathStyle style);

// True when every directory change starts a new page sequence.
bool SequencePerDirectory(const OutputSettings& output);

}  // namespace quorvel
