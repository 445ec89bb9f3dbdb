// The photo pages of a web gallery, each written one photo behind the images: a page gets its
// link to the next photo only once that photo is done, so no link leads to a photo that failed.
#pragma once

#include <optional>
#include <string>

#include "html/photo_page.h"
#include "job/gallery_settings.h"
#include "job/path_style.h"
#include "run/output_plan.h"

namespace quorvel {

class PhotoPages {
 public:
  PhotoPages(const GallerySettings& settings, PathStyle style);

  // The photo `image` is done and its thumbnail stands on the index page `indexPage`: writes the
  // page of the photo done before it. Throws Error when a page cannot be written.
  void Add(const ImagePlan& image, const std::string& indexPage);
  // Writes the page of the last photo done (which has no next photo).
  void Finish();
  // Forgets the page not yet written.
  void Discard() { pending_.reset(); }

  int written() const { return written_; }
  int unchanged() const { return unchanged_; }

 private:
  struct Pending {
    std::string path;
    html::PhotoPage page;
  };
  void Write(const Pending& pending);
  // The directory of `page`, with its trailing separator.
  std::string PageDirectory(const std::string& page) const;

  const GallerySettings& settings_;
  PathStyle style_;
  std::optional<Pending> pending_;
  int written_ = 0;
  int unchanged_ = 0;
};

}  // namespace quorvel
