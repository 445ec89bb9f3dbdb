// The run reads as plan, make, write: StartRun checks the settings, reads the images' headers and
// lays out every output (names, clashes, pages, navigators) before anything is written; each
// tick then takes one image's thumbnail and writes its cell into the page the layout gives it.
#include "run/generation_run.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>

#include "html/caption.h"
#include "html/escaping.h"
#include "html/folder_label.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/phone_layout.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "html/thumbnail_image.h"
#include "job/directory_list.h"
#include "job/error.h"
#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/tidy_path.h"
#include "platform/file_system.h"
#include "run/navigators.h"
#include "run/output_plan.h"
#include "run/page_plan.h"
#include "run/page_writer.h"
#include "run/photo_pages.h"
#include "run/source_headers.h"

namespace quorvel {
namespace {

// The labels of the folders of a run with more than one: each folder's path below the folder
// that holds them all ("2024/trip"), or its own name for that folder itself. Empty for one.
std::map<std::string, std::string> FolderLabels(const std::vector<ImagePlan>& images,
                                                PathStyle style) {
  std::map<std::string, std::string> labels;
  for (const ImagePlan& image : images) labels[image.directory];
  if (labels.size() < 2) return {};
  std::string root = labels.begin()->first;
  for (const auto& [dir, label] : labels) {
    while (dir != root && !dir.starts_with(WithTrailingSeparator(root, style))) {
      const std::string parent = DirectoryPart(root, style);
      if (parent == root) break;
      root = parent;
    }
  }
  const std::string prefix = WithTrailingSeparator(root, style);
  for (auto& [dir, label] : labels) {
    label = dir == root || !dir.starts_with(prefix) ? LastPathComponent(dir, style)
                                                    : dir.substr(prefix.size());
  }
  return labels;
}

}  // namespace

struct GenerationRun::Impl {
  GallerySettings settings;
  RunEnvironment env;
  // Watched by every decode of the run; see StopFlag.
  std::atomic<bool> stop_requested{false};
  std::vector<std::string> directories_to_create;  // allowed by the question, made after checks

  // The plan: every output of the run, laid out before the first page is opened.
  OutputPlan plan;
  std::vector<std::string> navigators;
  std::unique_ptr<RunThumbnails> thumbnails;
  std::unique_ptr<PhotoPages> photo_pages;
  std::map<std::string, std::string> folder_labels;  // by directory, when pages hold several

  // What the pages are made of; built from the directory the pages are written in.
  PageParts parts;
  std::string parts_directory;
  std::string cell_open_tag;
  html::NavigatorWrapper navigator_wrapper;

  // Where the writing stands.
  PageWriter writer;
  int open_page = -1;
  std::string labelled_folder;  // of the last folder label on the open page
  int image_index = 0;
  std::string directory;  // of the last image written
  std::string image_link_prefix;
  std::string thumbnail_link_prefix;
  bool running = false;
  RunSummary summary;
  std::vector<std::string> pages;

  PathStyle style() const { return env.style; }
  const OutputSettings& out() const { return settings.Output; }
  int image_count() const { return static_cast<int>(plan.images.size()); }

  void Validate();
  std::string NormalizeOutputDirectory(const std::string& text);
  bool WillExist(const std::string& dir) const;
  std::vector<std::string> LeaveOutUnreadable(const std::vector<std::string>& images,
                                              std::vector<imaging::SourceHeader>& headers);
  std::set<std::string> ImageDirectories(
      std::initializer_list<std::string ImagePlan::*> outputs) const;
  void ProbeOutputDirectories() const;
  void CreateOutputDirectories() const;

  void PrepareParts(const std::string& baseDirectory);
  void OpenPage(int page);
  void ClosePage();
  void EnterDirectory(const std::string& imageDirectory);
  void WriteImage(int index);
  std::string CellLink(const ImagePlan& image) const;
  std::string CellImage(const ImagePlan& image) const;
  std::string FolderLabelFor(const ImagePlan& image);
  void CopyOriginal(const ImagePlan& image) const;
  void Fail(const std::string& image, const std::string& message);
  void Finish();
};

// The field's text with its separator; a missing directory is asked about as the window's
// field asks, and what the answer allows is only noted here: nothing is created before every
// check of StartRun has passed.
std::string GenerationRun::Impl::NormalizeOutputDirectory(const std::string& text) {
  const DirectoryOps ops{platform::DirectoryExists, [&](const std::string& path) {
                           directories_to_create.push_back(path);
                           return 0;
                         }};
  const Question yes = [](const std::string&) { return true; };
  return NormalizeDirectoryField(text, style(), ops,
                                 env.create_missing_directories ? yes : env.ask);
}

bool GenerationRun::Impl::WillExist(const std::string& dir) const {
  return platform::DirectoryExists(dir) ||
         std::find(directories_to_create.begin(), directories_to_create.end(), dir) !=
             directories_to_create.end();
}

void GenerationRun::Impl::Validate() {
  OutputSettings& o = settings.Output;
  if (style() == PathStyle::Posix) TidyOutputDirectories(o, platform::CurrentDirectory());
  if (!o.HTMLIntoImageDirectory) {
    o.HTMLDirectory = NormalizeOutputDirectory(o.HTMLDirectory);
    if (o.HTMLDirectory.empty() || !WillExist(o.HTMLDirectory)) {
      throw Error("You must create or choose directory first!");
    }
  }
  if (o.ThumbnailsIntoImageDirectory && o.ThumbnailDirectoryName.empty()) {
    throw Error("Wrong thumbnail directory");
  }
  if (o.ThumbnailsIntoImageDirectory) return;
  // Without it every thumbnail would land in the current directory.
  if (o.AllThumbnailsDirectory.empty()) {
    throw Error("You must create or choose thumbnail directory first!");
  }
  o.AllThumbnailsDirectory = NormalizeOutputDirectory(o.AllThumbnailsDirectory);
  if (!WillExist(o.AllThumbnailsDirectory)) {
    throw Error("Directory \"" + o.AllThumbnailsDirectory + "\" does not exist");
  }
}

std::vector<std::string> GenerationRun::Impl::LeaveOutUnreadable(
    const std::vector<std::string>& images, std::vector<imaging::SourceHeader>& headers) {
  std::vector<SourceHeaderResult> results = ReadSourceHeaders(images, env.imaging.jobs);
  std::vector<std::string> readable;
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (results[i].failure.empty()) {
      readable.push_back(images[i]);
      headers.push_back(results[i].header);
    } else {
      Fail(images[i], results[i].failure);
    }
  }
  return readable;
}

// Every directory an output goes to must take a file; one that does not exist yet needs the
// nearest directory above it that does to take one. Once all do, the temporary files that
// killed runs left in them are removed.
void GenerationRun::Impl::ProbeOutputDirectories() const {
  std::set<std::string> dirs =
      ImageDirectories({&ImagePlan::thumbnail_path, &ImagePlan::picture_page_path,
                        &ImagePlan::photo_page_path, &ImagePlan::original_copy_path});
  for (const PagePlan& p : plan.layout.pages) dirs.insert(DirectoryPart(p.path, style()));
  for (const std::string& output : dirs) {
    std::string dir = output;
    while (!platform::PathExists(dir) && DirectoryPart(dir, style()) != dir) {
      dir = DirectoryPart(dir, style());
    }
    if (const int error = platform::ProbeWritableDirectory(dir); error != 0) {
      throw Error(FormatMessage("Cannot write to directory %s", dir) + " (" +
                  platform::ErrorText(error) + ")");
    }
  }
  for (const std::string& dir : dirs) platform::RemoveLeftoverTemporaries(dir);
}

// The directories the plan's images write the given outputs to (those the image has).
std::set<std::string> GenerationRun::Impl::ImageDirectories(
    std::initializer_list<std::string ImagePlan::*> outputs) const {
  std::set<std::string> dirs;
  for (const ImagePlan& image : plan.images) {
    for (const auto output : outputs) {
      if (!(image.*output).empty()) dirs.insert(DirectoryPart(image.*output, style()));
    }
  }
  return dirs;
}

// The directories the question allowed, then those of the web-ready set's photo pages, display
// copies and originals, which the workers may write into before the page writer gets there.
void GenerationRun::Impl::CreateOutputDirectories() const {
  for (const std::string& dir : directories_to_create) CreateDirectoriesOrThrow(dir);
  for (const std::string& dir :
       ImageDirectories({&ImagePlan::photo_page_path, &ImagePlan::original_copy_path})) {
    CreateDirectoriesOrThrow(dir);
  }
}

void GenerationRun::Impl::PrepareParts(const std::string& baseDirectory) {
  html::PageFrame frame = html::BuildPageFrame(settings.Page, baseDirectory, style());
  if (settings.Web.PhoneLayout) html::AddPhoneLayout(frame);
  parts.header = frame.Header;
  parts.footer = frame.Footer;
  parts.table_open_tag = html::BuildTableOpenTag(settings.Table, baseDirectory, style());
  parts.table_close_line = html::TableCloseLine(settings.Table);
  cell_open_tag = html::BuildCellOpenTag(settings.Cell, baseDirectory, style());
  parts_directory = baseDirectory;
}

void GenerationRun::Impl::OpenPage(int page) {
  const PagePlan& p = plan.layout.pages[static_cast<std::size_t>(page)];
  // Pages in image directories link their backgrounds from where they are written.
  if (out().HTMLIntoImageDirectory && p.directory != parts_directory) PrepareParts(p.directory);
  std::string navigator_line;
  if (settings.Navigator.Print && p.navigator >= 0) {
    const std::string& links = navigators[static_cast<std::size_t>(p.navigator)];
    if (!links.empty()) {
      navigator_line = navigator_wrapper.Prefix + links + navigator_wrapper.Suffix;
    }
  }
  writer.Open(p.path, parts, navigator_line);
  open_page = page;
  labelled_folder.clear();
}

void GenerationRun::Impl::ClosePage() {
  if (!writer.is_open()) return;
  const std::string path = writer.path();
  if (writer.Close(parts)) {
    ++summary.pages_written;
  } else {
    ++summary.pages_unchanged;
  }
  pages.push_back(path);
}

// The link prefixes of the images of one directory, and the directory of their thumbnails when
// those go beside the images.
void GenerationRun::Impl::EnterDirectory(const std::string& imageDirectory) {
  const OutputSettings& o = out();
  const PathStyle s = style();
  directory = imageDirectory;
  const std::string current_with_sep = WithTrailingSeparator(directory, s);
  image_link_prefix =
      o.HTMLIntoImageDirectory ? "" : RelativePath(o.HTMLDirectory, current_with_sep, s);
  if (o.ThumbnailsIntoImageDirectory) {
    const std::string thumbnails = ThumbnailDirectoryFor(o, directory, s);
    platform::CreateDirectory(thumbnails);
    const std::string thumbs_with_sep = WithTrailingSeparator(thumbnails, s);
    thumbnail_link_prefix = o.HTMLIntoImageDirectory
                                ? RelativePath(directory, thumbs_with_sep, s)
                                : RelativePath(o.HTMLDirectory, thumbs_with_sep, s);
  } else {
    thumbnail_link_prefix = o.HTMLIntoImageDirectory
                                ? RelativePath(current_with_sep, o.AllThumbnailsDirectory, s)
                                : RelativePath(o.HTMLDirectory, o.AllThumbnailsDirectory, s);
  }
}

std::string GenerationRun::Impl::CellLink(const ImagePlan& image) const {
  if (settings.Web.PhotoPages) {
    const std::string from = out().HTMLIntoImageDirectory
                                 ? WithTrailingSeparator(directory, style())
                                 : out().HTMLDirectory;
    return RelativeFileLink(from, image.photo_page_path, style());
  }
  const PictureSettings& pictures = settings.Picture;
  if (!pictures.CreatePicturePages) return image_link_prefix + image.file_name;
  html::WritePicturePage(image.picture_page_path, pictures, directory, image.file_name, style());
  return image_link_prefix + image.page_base + ".html";
}

std::string GenerationRun::Impl::CellImage(const ImagePlan& image) const {
  const std::string src = thumbnail_link_prefix + image.thumbnail_name;
  if (!settings.Web.PhoneLayout && !settings.Web.HighDensityThumbnails) {
    return "<img src=\"" + html::EncodeUrlPath(src, style()) + "\" border=\"0\">";
  }
  const std::string double_src = image.double_thumbnail_name.empty()
                                     ? std::string()
                                     : thumbnail_link_prefix + image.double_thumbnail_name;
  return html::ThumbnailImageTag(
      {src, double_src, image.sizes.thumbnail_width, image.sizes.thumbnail_height, image.file_name},
      style());
}

// The first cell of each folder on a page, when pages hold several folders, says which folder
// starts there.
std::string GenerationRun::Impl::FolderLabelFor(const ImagePlan& image) {
  if (folder_labels.empty() || labelled_folder == image.directory) return {};
  labelled_folder = image.directory;
  return html::FolderLabel(folder_labels.at(image.directory));
}

// The copy of the original in the gallery, unless the one there is already as new and as big.
void GenerationRun::Impl::CopyOriginal(const ImagePlan& image) const {
  const std::string& copy = image.original_copy_path;
  if (copy.empty()) return;
  int error = 0;
  platform::FileStatus existing;
  if (const int fd = platform::OpenRegularFile(copy, error, existing); fd >= 0) {
    platform::CloseFile(fd);
    if (existing.size == image.source.file_size && existing.modified >= image.source.modified) {
      return;
    }
  }
  std::string bytes;
  if ((error = platform::ReadWholeFile(image.path, bytes)) != 0) {
    throw Error(FileErrorMessage("Cannot open file %s", image.path, error));
  }
  if ((error = platform::WriteFileAtomically(copy, bytes)) != 0) {
    throw Error(FileErrorMessage("Cannot create file %s", copy, error));
  }
}

void GenerationRun::Impl::Fail(const std::string& image, const std::string& message) {
  ++summary.images_failed;
  summary.failures.push_back({image, message});
}

// A failed image keeps its place in the layout, but gets no cell and no picture page: nothing
// on a page leads to a file that does not exist.
void GenerationRun::Impl::WriteImage(int index) {
  const ImagePlan& image = plan.images[static_cast<std::size_t>(index)];
  if (index == 0 || image.directory != directory) EnterDirectory(image.directory);
  const int page = plan.layout.page_of_image[static_cast<std::size_t>(index)];
  if (page != open_page) {
    ClosePage();
    OpenPage(page);
  }
  const ThumbnailResult thumbnail = thumbnails->Take(index);
  if (thumbnail.stopped) return;  // skipped as the images after it: the run stops next tick
  if (!thumbnail.failure.empty()) return Fail(image.path, thumbnail.failure);
  std::string link;
  try {
    CopyOriginal(image);
    link = CellLink(image);
  } catch (const Error& e) {
    return Fail(image.path, e.what());
  }
  const std::size_t target = static_cast<std::size_t>(settings.Picture.TargetFrame.value());
  const std::string cell =
      cell_open_tag + FolderLabelFor(image) + "<a href=\"" + html::EncodeUrlPath(link, style()) +
      "\"" + std::string(kTargetFrameAttributes[target]) + ">" + CellImage(image) + "</a>" +
      html::BuildCaption(settings.Text, image.file_name, image.source.file_size) + "</td>";
  const PagePlan& p = plan.layout.pages[static_cast<std::size_t>(page)];
  writer.AddCell(index - p.first_image, plan.layout.cells_per_row, cell);
  if (photo_pages) photo_pages->Add(image, p.path);
  ++summary.images_done;
  if (thumbnail.made) ++summary.thumbnails_made;
  for (const std::string& warning : thumbnail.warnings) {
    summary.warnings.push_back({image.path, warning});
  }
}

void GenerationRun::Impl::Finish() {
  running = false;
  if (thumbnails) thumbnails->Stop();
  ClosePage();
  if (photo_pages) {
    photo_pages->Finish();
    summary.pages_written += photo_pages->written();
    summary.pages_unchanged += photo_pages->unchanged();
  }
}

GenerationRun::GenerationRun(GallerySettings settings, RunEnvironment environment)
    : impl_(std::make_unique<Impl>()) {
  impl_->settings = std::move(settings);
  impl_->env = std::move(environment);
}

GenerationRun::~GenerationRun() {
  if (impl_->thumbnails) impl_->thumbnails->Stop();
}

GenerationRun::Start GenerationRun::StartRun() {
  Impl& r = *impl_;
  r.Validate();
  const CollectedImages collected = CollectImages(r.out().Directories, r.settings.Web.OtherFormats);
  const std::vector<std::string>& found = collected.images;
  r.summary.skipped = collected.skipped;
  if (found.empty()) return Start::NothingToDo;
  r.summary.images_found = static_cast<int>(found.size());
  std::vector<imaging::SourceHeader> headers;
  const std::vector<std::string> images = r.LeaveOutUnreadable(found, headers);
  // No output may replace a photo left out as unreadable or skipped for its format either.
  std::vector<std::string> others = found;
  others.insert(others.end(), collected.skipped.begin(), collected.skipped.end());
  r.plan = PlanOutputs(r.settings, images, r.style(), others);
  for (std::size_t i = 0; i < headers.size(); ++i) r.plan.images[i].source = headers[i];
  r.ProbeOutputDirectories();
  r.CreateOutputDirectories();
  r.navigators = BuildNavigators(r.out(), r.plan.layout, r.style());
  r.navigator_wrapper = html::BuildNavigatorWrapper(r.settings.Navigator);
  SizeOutputs(r.plan.images, r.settings, r.env.imaging.apply_orientation);
  r.thumbnails =
      std::make_unique<RunThumbnails>(r.settings, r.env.imaging, r.plan.images, r.stop_requested);
  if (r.settings.Web.PhotoPages)
    r.photo_pages = std::make_unique<PhotoPages>(r.settings, r.style());
  if (r.settings.Web.PhoneLayout && !SequencePerDirectory(r.out())) {
    r.folder_labels = FolderLabels(r.plan.images, r.style());
  }
  r.running = true;
  if (r.plan.images.empty()) return Start::Started;  // every image left out: only failures
  r.thumbnails->Start(r.out().UpdateHTML);
  r.PrepareParts(r.out().HTMLIntoImageDirectory ? r.plan.images.front().directory
                                                : r.out().HTMLDirectory);
  r.OpenPage(0);
  return Start::Started;
}

bool GenerationRun::RunTick() {
  Impl& r = *impl_;
  if (!r.running) return false;
  if (r.stop_requested.load()) {
    StopRun();
    return false;
  }
  try {
    if (r.image_index >= r.image_count()) {
      r.Finish();
      return false;
    }
    r.WriteImage(r.image_index);
    ++r.image_index;
  } catch (const Error& e) {
    // A page that cannot be written ends the run.
    r.summary.page_error = e.what();
    r.running = false;
    r.thumbnails->Stop();
    r.writer.Discard();
    if (r.photo_pages) r.photo_pages->Discard();
    return false;
  }
  return true;
}

void GenerationRun::StopRun() {
  Impl& r = *impl_;
  if (!r.running) return;
  r.summary.stopped = true;
  r.stop_requested = true;
  try {
    r.Finish();
  } catch (const Error& e) {
    r.summary.page_error = e.what();
  }
}

bool GenerationRun::running() const { return impl_->running; }
int GenerationRun::image_index() const { return impl_->image_index; }
int GenerationRun::image_count() const { return impl_->image_count(); }

std::string GenerationRun::current_image() const {
  const Impl& r = *impl_;
  if (r.plan.images.empty()) return {};
  const int i = std::min(r.image_index, r.image_count() - 1);
  return r.plan.images[static_cast<std::size_t>(i)].path;
}

std::string GenerationRun::ProgressTitle() const {
  return "Process stats [" + std::to_string(impl_->image_index) + " / " +
         std::to_string(impl_->image_count()) + "]";
}

const RunSummary& GenerationRun::summary() const { return impl_->summary; }
std::atomic<bool>& GenerationRun::StopFlag() { return impl_->stop_requested; }
const GallerySettings& GenerationRun::settings() const { return impl_->settings; }
const std::vector<std::string>& GenerationRun::pages() const { return impl_->pages; }

}  // namespace quorvel
