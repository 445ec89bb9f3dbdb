// Update mode that cannot go stale: an existing thumbnail is kept only while it still is the one
// the current settings would make of its photo, judged from the two headers alone.
#pragma once

#include <array>
#include <string>

#include "imaging/jpeg_header.h"
#include "imaging/thumbnail_maker.h"

namespace quorvel {

// True when `request.target` is not older than the photo was when `source` was read, and its
// header has: the size the box gives the photo (turned by `request.orientation`, the one
// `source` gave, when that is applied); one component for grayscale, else three; the quantisation
// tables of the quality
// (`tables`); a colour profile exactly when the photo's RGB profile would be carried on; the
// mark of the turn the request applies (MarkFor); and no fast mark unless the request is fast,
// since a fast run may keep an exact thumbnail but an exact run must not keep a fast one.
bool IsCurrentThumbnail(const imaging::ThumbnailRequest& request,
                        const imaging::SourceHeader& source,
                        const std::array<imaging::QuantTable, 2>& tables);

}  // namespace quorvel
