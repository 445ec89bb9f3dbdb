#include "run/photo_pages.h"

#include "job/path_style.h"
#include "job/relative_path.h"
#include "run/page_file.h"

namespace quorvel {

std::string PhotoPages::PageDirectory(const std::string& page) const {
  return WithTrailingSeparator(DirectoryPart(page, style_), style_);
}

PhotoPages::PhotoPages(const GallerySettings& settings, PathStyle style)
    : settings_(settings), style_(style) {}

void PhotoPages::Add(const ImagePlan& image, const std::string& indexPage) {
  const std::string directory = PageDirectory(image.photo_page_path);
  Pending current;
  current.path = image.photo_page_path;
  html::PhotoPage& page = current.page;
  page.FileName = image.file_name;
  page.DisplayHref = RelativeFileLink(directory, image.display_path, style_);
  page.Width = image.sizes.display_width;
  page.Height = image.sizes.display_height;
  page.IndexHref = RelativeFileLink(directory, indexPage, style_);
  if (settings_.Web.PhotoDetails) page.Details = image.source.details.Texts();
  if (!image.original_copy_path.empty()) {
    page.OriginalHref = RelativeFileLink(directory, image.original_copy_path, style_);
  } else if (settings_.Web.Originals != 0) {
    page.OriginalHref = RelativeFileLink(directory, image.path, style_);
  }
  if (pending_) {
    page.PreviousHref = RelativeFileLink(directory, pending_->path, style_);
    pending_->page.NextHref = RelativeFileLink(PageDirectory(pending_->path), current.path, style_);
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
