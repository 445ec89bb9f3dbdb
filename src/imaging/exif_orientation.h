// The camera's Orientation tag, read from a source's Exif block with libexif.
#pragma once

#include <string>

namespace quorvel::imaging {

// The Orientation of IFD0 (1 to 8) in an APP1 payload that starts "Exif\0\0". 1, the stored
// view, stands for everything else: no block, a damaged one, no tag, a tag that is not one
// SHORT, or a value outside 1 to 8. Tags of other IFDs (the embedded thumbnail's) do not count.
int ReadExifOrientation(const std::string& exif);

}  // namespace quorvel::imaging
