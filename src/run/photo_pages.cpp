#include "run/photo_pages.h"

#include "job/path_style.h"
#include "job/relative_path.h"
#include "run/page_file.h"

namespace quorvel {
namespace {

// A link from a page in `fromDirectory` to the file `path`.
std::string LinkTo(const std::string& fromDirectory, const std::string& path, PathStyle style) {
  return RelativePath(WithTrailingSeparator(fromDirectory, style),
                      WithTrailingSeparator(DirectoryPart(path, style), style), style) +
         FileNamePart(path, style);
}

}  // namespace

PhotoPages::PhotoPages(const GallerySettings& settings, PathStyle style)
    : settings_(settings), style_(style) {}

void PhotoPages::Add(const ImagePlan& image, const std::string& indexPage) {
  const std::string directory = DirectoryPart(image.photo_page_path, style_);
  Pending current;
  current.path = image.photo_page_path;
  html::PhotoPage& page = current.page;
  page.FileName = image.file_name;
  page.DisplayHref = LinkTo(directory, image.display_path, style_);
  page.Width = image.sizes.display_width;
  page.Height = image.sizes.display_height;
  page.IndexHref = LinkTo(directory, indexPage, style_);
  if (settings_.Web.PhotoDetails) page.Details = image.source.details.Texts();
  if (!image.original_copy_path.empty()) {
    page.OriginalHref = LinkTo(directory, image.original_copy_path, style_);
  } else if (settings_.Web.Originals != 0) {
    page.OriginalHref = LinkTo(directory, image.path, style_);
  }
  if (pending_) {
    page.PreviousHref = LinkTo(directory, pending_->path, style_);
    pending_->page.NextHref = LinkTo(DirectoryPart(pending_->path, style_), current.path, style_);
    Write(*pending_);
  }
  pending_ = std::move(current);
}

void PhotoPages::Finish() {
  if (pending_) Write(*pending_);
  pending_.reset();
}

void PhotoPages::Write(const Pending& pending) {
  const std::string text = html::PhotoPageText(pending.page, settings_.Page, style_);
  if (WritePageUnlessSame(pending.path, text)) {
    ++written_;
  } else {
    ++unchanged_;
  }
}

}  // namespace quorvel
