// The camera's Orientation tag, read from a source's Exif block.
#pragma once

#include <string_view>

namespace quorvel::imaging {

// The Orientation of IFD0 (1 to 8) in an APP1 payload that starts "Exif\0\0". 1, the stored
// view, stands for everything else: no block, a damaged one, no tag, a tag that is not one
// SHORT, or a value outside 1 to 8. Only IFD0 is read, and of it only the entries that lie
// within the block (at most 5,461 in a marker's 65,533 bytes); no offset to another directory
// is followed, so no block, however its links loop, costs more than one pass over it. The first
// Orientation entry counts; tags of other IFDs (the embedded thumbnail's) do not.
int ReadExifOrientation(std::string_view exif);

}  // namespace quorvel::imaging
