// Update mode that cannot go stale: an existing thumbnail (or 2x thumbnail, or display copy) is
// kept only while it still is the one the current settings would make of its photo, judged from
// the two headers alone.
#pragma once

#include <array>
#include <string>

#include "imaging/jpeg_header.h"
#include "imaging/picture_outputs.h"
#include "imaging/thumbnail_maker.h"

namespace quorvel {

// True when `output.target` is not older than the photo was when `source` was read, and its
// header has: the size `output` gives the photo (upright under `request.orientation`); one
// component for grayscale, else three; the quantisation tables of its quality (`tables`); a
// colour profile exactly when the photo's RGB profile would be carried on; the mark of the turn
// the request applies; and no fast mark unless the request is fast, since a fast run may keep
// an exact output but an exact run must not keep a fast one.
bool IsCurrentOutput(const imaging::OutputImage& output, const imaging::PictureRequest& request,
                     const imaging::SourceHeader& source,
                     const std::array<imaging::QuantTable, 2>& tables);

// The same for the thumbnail of a ThumbnailRequest.
bool IsCurrentThumbnail(const imaging::ThumbnailRequest& request,
                        const imaging::SourceHeader& source,
                        const std::array<imaging::QuantTable, 2>& tables);

}  // namespace quorvel
