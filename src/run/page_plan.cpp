#include "run/page_plan.h"

#include "job/output_names.h"

namespace quorvel {

bool SequencePerDirectory(const OutputSettings& output) {
  return (output.NewHTMLForEachDirectory && output.SeparateHTML) || output.HTMLIntoImageDirectory;
}

std::vector<PagePlan> PlanPages(const OutputSettings& output,
                                const std::vector<std::string>& directories, PathStyle style) {
  std::vector<PagePlan> pages;
  const bool per_directory = SequencePerDirectory(output);
  const bool split = output.SplitHTML && output.SeparateHTML;
  const long long page_size =
      static_cast<long long>(output.ThumbnailsInRow) * output.ThumbnailsInColumn;
  long long on_page = 0;
  for (std::size_t i = 0; i < directories.size(); ++i) {
    const std::string& dir = directories[i];
    const bool new_sequence = i == 0 || (per_directory && dir != directories[i - 1]);
    if (new_sequence || (split && on_page == page_size)) {
      const int sequence = pages.empty() ? 0 : pages.back().sequence + (new_sequence ? 1 : 0);
      const int number = new_sequence ? 0 : pages.back().number + 1;
      pages.push_back({PageFileName(output, dir, number, style), dir, sequence, number});
      on_page = 0;
    }
    ++on_page;
  }
  return pages;
}

}  // namespace quorvel
