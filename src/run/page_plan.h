// The index pages a run will write, laid out before the first one is opened: which image opens
// which page of which page sequence, and the page's file name.
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
};

// `directories` are the images' directories in run order. A new sequence starts at every
// change of directory when pages are made per directory; a sequence is split into pages of
// ThumbnailsInRow x ThumbnailsInColumn cells when splitting is on.
std::vector<PagePlan> PlanPages(const OutputSettings& output,
                                const std::vector<std::string>& directories, PathStyle style);

// True when every directory change starts a new page sequence.
bool SequencePerDirectory(const OutputSettings& output);

}  // namespace quorvel
