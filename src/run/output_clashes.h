// The refusal of a run whose outputs would land on one file: two index pages, a picture page and
// an index page, two thumbnails, or any output and a source image. Checked on the full plan
// before anything is written, so what cannot clash is never refused. Paths are compared by what
// they are on disk (see PathIdentities), and an output whose file is already a source under
// another name is refused too.
#pragma once

#include <string>
#include <vector>

#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/output_plan.h"
#include "run/page_plan.h"

namespace quorvel {

// Throws Error naming both sources and the setting that would separate them. `otherFiles` are
// files of the image directories that get no output (images left out as unreadable), which no
// output may replace either.
void RefuseClashingOutputs(const GallerySettings& settings, const std::vector<ImagePlan>& images,
                           const std::vector<PagePlan>& pages, PathStyle style,
                           const std::vector<std::string>& otherFiles = {});

}  // namespace quorvel
