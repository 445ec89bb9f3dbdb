#include "run/navigators.h"

#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "html/navigator.h"

namespace quorvel {
namespace {

// A link to page `n` of directory `dir`, from pages written in `pagesDir`.
std::string PageLink(const NavigatorInput& in, const std::string& pagesDir, const std::string& dir,
                     int n, const std::string& label) {
  const std::string page = PageFileName(in.output, dir, n, in.style);
  const std::string href =
      RelativePath(pagesDir, DirectoryPart(page, in.style), in.style) + FileNamePart(page, in.style);
  return html::NavigatorLink(href, label, in.style);
}

std::string SingleNavigator(const NavigatorInput& in) {
  const bool per_directory = in.output.NewHTMLForEachDirectory;
  const bool split = in.output.SplitHTML;
  const long long page_size = static_cast<long long>(in.cells_per_row) * in.rows_per_page;
  const std::string& pages_dir = in.output.HTMLDirectory;
  long long total = 0;
  long long in_page = 0;
  int page = 0;
  std::string d0;
  std::string text;
  for (const std::string& image : in.images) {
    const std::string d = DirectoryPart(image, in.style);
    if (in_page == 0 && d0 != d && !per_directory) d0 = d;
    ++total;
    ++in_page;
    if (d0 != d && per_directory) {
      total = 0;
      in_page = 0;
      d0 = d;
      text += PageLink(in, pages_dir, d, 0, LastPathComponent(d, in.style));
      page = 1;
      continue;
    }
    if (in_page >= page_size && split) {
      text += PageLink(in, pages_dir, d0, page, std::to_string(page + 1));
      ++page;
      in_page = 0;
      d0 = d;
    }
  }
  if (split && !per_directory && in_page > 0 && total > page_size) {
    text += PageLink(in, pages_dir, d0, page, std::to_string(page + 1));
  }
  return text;
}

}  // namespace

std::string BuildDirectoryNavigator(const NavigatorInput& in, const std::string& dir) {
  const long long page_size = static_cast<long long>(in.cells_per_row) * in.rows_per_page;
  std::size_t i = 0;
  while (i < in.images.size() && DirectoryPart(in.images[i], in.style) != dir) ++i;
  long long total = 0;
  long long in_page = 0;
  int page = 0;
  std::string text;
  for (; i < in.images.size() && DirectoryPart(in.images[i], in.style) == dir; ++i) {
    ++total;
    ++in_page;
    if (in_page == page_size) {
      text += PageLink(in, dir, dir, page, std::to_string(page + 1));
      ++page;
      in_page = 0;
    }
  }
  if (in_page > 0 && total > page_size) {
    text += PageLink(in, dir, dir, page, std::to_string(page + 1));
  }
  if (total <= page_size) text.clear();
  return text;
}

std::vector<std::string> BuildNavigators(const NavigatorInput& in) {
  std::vector<std::string> list;
  const OutputSettings& out = in.output;
  if (!out.SeparateHTML || in.images.empty()) return list;
  if (out.SplitHTML && out.HTMLIntoImageDirectory) {
    std::string previous;
    bool first = true;
    for (const std::string& image : in.images) {
      const std::string dir = DirectoryPart(image, in.style);
      if (first || dir != previous) list.push_back(BuildDirectoryNavigator(in, dir));
      // Each run of images of one directory gets its own entry, as the run meets them.
      first = false;
      previous = dir;
    }
    return list;
  }
  if (!out.HTMLIntoImageDirectory && (out.SplitHTML || out.NewHTMLForEachDirectory)) {
    list.push_back(SingleNavigator(in));
  }
  return list;
}

}  // namespace quorvel
