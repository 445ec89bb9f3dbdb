// The refusal of a run whose outputs would land on one path: two index pages, a picture page and
// an index page, two thumbnails, or any output and a source image. Checked on the full plan
// before anything is written, so what cannot clash is never refused.
#pragma once

#include <vector>

#include "job/gallery_settings.h"
#include "run/output_plan.h"
#include "run/page_plan.h"

namespace quorvel {

// Throws Error naming both sources and the setting that would separate them.
void RefuseClashingOutputs(const GallerySettings& settings, const std::vector<ImagePlan>& images,
                           const std::vector<PagePlan>& pages);

}  // namespace quorvel
