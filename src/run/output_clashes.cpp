#include "run/output_clashes.h"

#include <unordered_map>

#include "job/error.h"
#include "job/output_names.h"

namespace quorvel {
namespace {

constexpr char kThumbnailMask[] = "the Thumbnail Image Name Mask (ThumbnailNameMask)";
constexpr char kPageMask[] = "the HTML File's Mask (HTMLFileMask)";

enum class Kind {
  Source,
  Thumbnail,
  IndexPage,
  PicturePage,
  DoubleThumbnail,
  PhotoPage,
  DisplayCopy,
  OriginalCopy
};

struct Owner {
  Kind kind;
  std::size_t index;  // into the images, or into the pages for an index page
};

class Registry {
 public:
  Registry(const GallerySettings& settings, const std::vector<ImagePlan>& images,
           const std::vector<PagePlan>& pages)
      : settings_(settings), images_(images), pages_(pages) {}

  void Add(const std::string& path, Owner owner) {
    const auto [at, inserted] = owners_.emplace(path, owner);
    if (inserted) return;
    const Owner first = at->second;
    if (first.kind == Kind::Source) {
      throw Error("The " + Describe(owner) + " would replace the image " + path + ": " +
                  SettingFor(owner.kind) + ".");
    }
    throw Error("The " + Describe(first) + " and the " + Describe(owner) +
                " would both be written to " + path + ": " + Hint(first, owner) + ".");
  }

 private:
  std::string Describe(Owner o) const {
    switch (o.kind) {
      case Kind::Source:
        return "image " + images_[o.index].path;
      case Kind::Thumbnail:
        return "thumbnail of " + images_[o.index].path;
      case Kind::PicturePage:
        return "picture page of " + images_[o.index].path;
      case Kind::DoubleThumbnail:
        return "2x thumbnail of " + images_[o.index].path;
      case Kind::PhotoPage:
        return "photo page of " + images_[o.index].path;
      case Kind::DisplayCopy:
        return "display copy of " + images_[o.index].path;
      case Kind::OriginalCopy:
        return "copy of " + images_[o.index].path;
      case Kind::IndexPage:
        break;
    }
    const PagePlan& page = pages_[o.index];
    const std::string name = "index page " + std::to_string(page.number + 1);
    return SequencePerDirectory(settings_.Output) ? name + " of " + page.directory : name;
  }

  std::string PageNameSetting() const {
    return PageNamesUseMask(settings_.Output) ? kPageMask : "the HTML File's Name (HTMLFileName)";
  }

  // What changes the name of an output of this kind.
  std::string SettingFor(Kind kind) const {
    switch (kind) {
      case Kind::Thumbnail:
      case Kind::DoubleThumbnail:
        return std::string("change ") + kThumbnailMask;
      case Kind::PhotoPage:
      case Kind::DisplayCopy:
      case Kind::OriginalCopy:
        return "keep the gallery's directory out of the image directories";
      default:
        return "change " + PageNameSetting();
    }
  }

  std::string Hint(Owner a, Owner b) const {
    if (a.kind == Kind::IndexPage && b.kind == Kind::IndexPage) {
      const std::string& mask = settings_.Output.HTMLFileMask;
      if (pages_[a.index].sequence == pages_[b.index].sequence) {
        return std::string("put \"%n\" into ") + kPageMask;
      }
      if (!MaskHasPlaceholder(mask, 'd')) return std::string("put \"%d\" into ") + kPageMask;
      return "turn on \"Put HTMLs Into Image's directory\" (HTMLIntoImageDirectory)";
    }
    if (a.kind == Kind::Thumbnail && b.kind == Kind::Thumbnail &&
        !MaskHasPlaceholder(settings_.Thumbnail.ThumbnailNameMask, 'f')) {
      return std::string("put \"%f\" into ") + kThumbnailMask;
    }
    for (const Kind kind : {Kind::Thumbnail, Kind::DoubleThumbnail, Kind::IndexPage,
                            Kind::PicturePage}) {
      if (a.kind == kind || b.kind == kind) return SettingFor(kind);
    }
    return SettingFor(b.kind);
  }

  const GallerySettings& settings_;
  const std::vector<ImagePlan>& images_;
  const std::vector<PagePlan>& pages_;
  std::unordered_map<std::string, Owner> owners_;
};

}  // namespace

void RefuseClashingOutputs(const GallerySettings& settings, const std::vector<ImagePlan>& images,
                           const std::vector<PagePlan>& pages) {
  Registry registry(settings, images, pages);
  for (std::size_t i = 0; i < images.size(); ++i) registry.Add(images[i].path, {Kind::Source, i});
  for (std::size_t i = 0; i < images.size(); ++i) {
    registry.Add(images[i].thumbnail_path, {Kind::Thumbnail, i});
  }
  for (std::size_t i = 0; i < pages.size(); ++i) registry.Add(pages[i].path, {Kind::IndexPage, i});
  const std::pair<std::string ImagePlan::*, Kind> outputs[] = {
      {&ImagePlan::picture_page_path, Kind::PicturePage},
      {&ImagePlan::double_thumbnail_path, Kind::DoubleThumbnail},
      {&ImagePlan::photo_page_path, Kind::PhotoPage},
      {&ImagePlan::display_path, Kind::DisplayCopy},
      {&ImagePlan::original_copy_path, Kind::OriginalCopy}};
  // An output that is off has no path.
  for (const auto& [member, kind] : outputs) {
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (!(images[i].*member).empty()) registry.Add(images[i].*member, {kind, i});
    }
  }
}

}  // namespace quorvel
