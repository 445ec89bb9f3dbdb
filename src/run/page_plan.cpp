#include "run/page_plan.h"

#include "job/output_names.h"

namespace quorvel {
namespace {

// Which navigator entry each page shows: one list for all pages of the HTML directory, one per
// directory for pages in the image directories, or none.
void AssignNavigators(const OutputSettings& output, PageLayout& layout) {
  if (!output.SeparateHTML || layout.pages.empty()) return;
  if (output.HTMLIntoImageDirectory) {
    if (!output.SplitHTML) return;
    for (PagePlan& page : layout.pages) page.navigator = page.sequence;
    layout.navigator_count = layout.pages.back().sequence + 1;
  } else if (output.SplitHTML || output.NewHTMLForEachDirectory) {
    for (PagePlan& page : layout.pages) page.navigator = 0;
    layout.navigator_count = 1;
  }
}

// True when a page holds at most ThumbnailsInRow x ThumbnailsInColumn cells.
bool SplitsPages(const OutputSettings& output) { return output.SplitHTML && output.SeparateHTML; }

}  // namespace

bool SequencePerDirectory(const OutputSettings& output) {
  return (output.NewHTMLForEachDirectory && output.SeparateHTML) || output.HTMLIntoImageDirectory;
}

PageLayout PlanPages(const OutputSettings& output, const std::vector<std::string>& directories,
                     PathStyle style) {
  PageLayout layout;
  layout.cells_per_row = output.ThumbnailsInRow;
  const bool per_directory = SequencePerDirectory(output);
  const bool split = SplitsPages(output);
  const long long page_size =
      static_cast<long long>(output.ThumbnailsInRow) * output.ThumbnailsInColumn;
  std::vector<PagePlan>& pages = layout.pages;
  for (std::size_t i = 0; i < directories.size(); ++i) {
    const std::string& dir = directories[i];
    const bool new_sequence = i == 0 || (per_directory && dir != directories[i - 1]);
    if (new_sequence || (split && pages.back().image_count == page_size)) {
      const int sequence = pages.empty() ? 0 : pages.back().sequence + (new_sequence ? 1 : 0);
      const int number = new_sequence ? 0 : pages.back().number + 1;
      pages.push_back({PageFileName(output, dir, number, style), dir, sequence, number,
                       static_cast<int>(i), 0, -1});
    }
    ++pages.back().image_count;
    layout.page_of_image.push_back(static_cast<int>(pages.size()) - 1);
  }
  AssignNavigators(output, layout);
  return layout;
}

}  // namespace quorvel
