#include "run/output_clashes.h"

#include <unordered_map>

#include "job/error.h"
#include "job/output_names.h"
#include "run/path_identity.h"

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
  std::string path;   // as the run spells it
};

// Every path is entered by what it is on disk, so that a link on the way (a thumbnail directory
// that leads back to the photos) cannot hide a clash.
class Registry {
 public:
  Registry(const GallerySettings& settings, const std::vector<ImagePlan>& images,
           const std::vector<PagePlan>& pages, PathStyle style)
      : settings_(settings), images_(images), pages_(pages), identities_(style) {}

  void AddSource(const std::string& path, std::size_t index) {
    const Owner owner{Kind::Source, index, path};
    if (owners_.emplace(identities_.Key(path), owner).second) sources_.push_back(owner);
  }

  void Add(const std::string& path, Kind kind, std::size_t index) {
    const Owner owner{kind, index, path};
    const auto [at, inserted] = owners_.emplace(identities_.Key(path), owner);
    if (!inserted) Refuse(at->second, owner);
    // A file already there that may be a photo under another name (a hard or symbolic link).
    if (const std::optional<platform::FileId> id = identities_.Shared(path)) {
      const auto& files = SourceFiles();
      if (const auto source = files.find(Id(*id)); source != files.end()) {
        Refuse(source->second, owner);
      }
    }
  }

 private:
  // The sources by device and inode, looked up only once an output may be another name of one.
  const std::unordered_map<std::string, Owner>& SourceFiles() {
    if (source_files_.empty()) {
      for (const Owner& source : sources_) {
        if (const std::optional<platform::FileId> id = identities_.Existing(source.path)) {
          source_files_.emplace(Id(*id), source);
        }
      }
    }
    return source_files_;
  }

  static std::string Id(const platform::FileId& id) {
    return std::to_string(id.device) + ":" + std::to_string(id.inode);
  }

  [[noreturn]] void Refuse(const Owner& first, const Owner& owner) const {
    const std::string same =
        first.path == owner.path ? "" : " (" + owner.path + " is the same file)";
    if (first.kind == Kind::Source) {
      throw Error("The " + Describe(owner) + " would replace the image " + first.path + same +
                  ": " + SettingFor(owner.kind) + ".");
    }
    throw Error("The " + Describe(first) + " and the " + Describe(owner) +
                " would both be written to " + first.path + same + ": " + Hint(first, owner) + ".");
  }

  std::string Describe(const Owner& o) const {
    switch (o.kind) {
      case Kind::Source:
        return "image " + o.path;
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

  std::string Hint(const Owner& a, const Owner& b) const {
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
    for (const Kind kind :
         {Kind::Thumbnail, Kind::DoubleThumbnail, Kind::IndexPage, Kind::PicturePage}) {
      if (a.kind == kind || b.kind == kind) return SettingFor(kind);
    }
    return SettingFor(b.kind);
  }

  const GallerySettings& settings_;
  const std::vector<ImagePlan>& images_;
  const std::vector<PagePlan>& pages_;
  PathIdentities identities_;
  std::unordered_map<std::string, Owner> owners_;  // by PathIdentities::Key
  std::vector<Owner> sources_;
  std::unordered_map<std::string, Owner> source_files_;  // by device and inode, once needed
};

}  // namespace

void RefuseClashingOutputs(const GallerySettings& settings, const std::vector<ImagePlan>& images,
                           const std::vector<PagePlan>& pages, PathStyle style,
                           const std::vector<std::string>& otherFiles) {
  Registry registry(settings, images, pages, style);
  for (std::size_t i = 0; i < images.size(); ++i) registry.AddSource(images[i].path, i);
  for (const std::string& path : otherFiles) registry.AddSource(path, 0);
  for (std::size_t i = 0; i < images.size(); ++i) {
    registry.Add(images[i].thumbnail_path, Kind::Thumbnail, i);
  }
  for (std::size_t i = 0; i < pages.size(); ++i) registry.Add(pages[i].path, Kind::IndexPage, i);
  const std::pair<std::string ImagePlan::*, Kind> outputs[] = {
      {&ImagePlan::picture_page_path, Kind::PicturePage},
      {&ImagePlan::double_thumbnail_path, Kind::DoubleThumbnail},
      {&ImagePlan::photo_page_path, Kind::PhotoPage},
      {&ImagePlan::display_path, Kind::DisplayCopy},
      {&ImagePlan::original_copy_path, Kind::OriginalCopy}};
  // An output that is off has no path.
  for (const auto& [member, kind] : outputs) {
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (!(images[i].*member).empty()) registry.Add(images[i].*member, kind, i);
    }
  }
}

}  // namespace quorvel
