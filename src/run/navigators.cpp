#include "run/navigators.h"

#include "html/navigator.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "run/page_plan.h"

namespace quorvel {
namespace {

// A link to `page` from pages written in `pagesDir`.
std::string PageLink(const std::string& pagesDir, const PagePlan& page, const std::string& label,
                     PathStyle style) {
  const std::string href = RelativePath(pagesDir, DirectoryPart(page.path, style), style) +
                           FileNamePart(page.path, style);
  return html::NavigatorLink(href, label, style);
}

std::string Number(const PagePlan& page) { return std::to_string(page.number + 1); }

// Pages written into the HTML directory share one list.
std::string SharedNavigator(const OutputSettings& output, const PageLayout& layout,
                            PathStyle style) {
  const std::vector<PagePlan>& pages = layout.pages;
  const std::string& from = output.HTMLDirectory;
  std::string text;
  if (output.NewHTMLForEachDirectory) {
    for (const PagePlan& page : pages) {
      const std::string label =
          page.number == 0 ? LastPathComponent(page.directory, style) : Number(page);
      text += PageLink(from, page, label, style);
    }
    return text;
  }
  const long long page_size =
      static_cast<long long>(output.ThumbnailsInRow) * output.ThumbnailsInColumn;
  // A single page gets its link only when it is exactly full.
  if (pages.size() == 1 && pages.front().image_count < page_size) return text;
  for (const PagePlan& page : pages) text += PageLink(from, page, Number(page), style);
  return text;
}

// Pages written into each image directory link only to that directory's pages.
std::vector<std::string> DirectoryNavigators(const PageLayout& layout, PathStyle style) {
  std::vector<std::vector<const PagePlan*>> sequences(
      static_cast<std::size_t>(layout.navigator_count));
  for (const PagePlan& page : layout.pages) {
    sequences[static_cast<std::size_t>(page.sequence)].push_back(&page);
  }
  std::vector<std::string> list;
  for (const auto& pages : sequences) {
    std::string text;
    if (pages.size() > 1) {
      for (const PagePlan* page : pages)
        text += PageLink(page->directory, *page, Number(*page), style);
    }
    list.push_back(std::move(text));
  }
  return list;
}

}  // namespace

std::vector<std::string> BuildNavigators(const OutputSettings& output, const PageLayout& layout,
                                         PathStyle style) {
  if (layout.navigator_count == 0) return {};
  if (output.HTMLIntoImageDirectory) return DirectoryNavigators(layout, style);
  return {SharedNavigator(output, layout, style)};
}

}  // namespace quorvel
