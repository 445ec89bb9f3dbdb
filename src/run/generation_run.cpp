// The run reads as plan, make, write: StartRun checks the settings, reads the images' headers and
// lays out every output (names, clashes, pages, navigators) before anything is written; each
// tick then takes one image's thumbnail and writes its cell into the page the layout gives it.
#include "run/generation_run.h"

#include <algorithm>
#include <set>

#include "html/caption.h"
#include "html/escaping.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
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
#include "run/source_headers.h"

namespace quorvel {

struct GenerationRun::Impl {
  GallerySettings settings;
  RunEnvironment env;
  std::vector<std::string> directories_to_create;  // allowed by the question, made after checks

  // The plan: every output of the run, laid out before the first page is opened.
  OutputPlan plan;
  std::vector<std::string> navigators;
  std::unique_ptr<RunThumbnails> thumbnails;

  // What the pages are made of; built from the directory the pages are written in.
  PageParts parts;
  std::string parts_directory;
  std::string cell_open_tag;
  html::NavigatorWrapper navigator_wrapper;

  // Where the writing stands.
  PageWriter writer;
  int open_page = -1;
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
  void ProbeOutputDirectories() const;
  void CreateOutputDirectories() const;

  void PrepareParts(const std::string& baseDirectory);
  void OpenPage(int page);
  void ClosePage();
  void EnterDirectory(const std::string& imageDirectory);
  void WriteImage(int index);
  std::string CellLink(const ImagePlan& image) const;
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
  std::set<std::string> dirs;
  for (const PagePlan& p : plan.layout.pages) dirs.insert(DirectoryPart(p.path, style()));
  for (const ImagePlan& image : plan.images) {
    dirs.insert(DirectoryPart(image.thumbnail_path, style()));
    if (settings.Picture.CreatePicturePages) dirs.insert(image.directory);
  }
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

void GenerationRun::Impl::CreateOutputDirectories() const {
  for (const std::string& dir : directories_to_create) CreateDirectoriesOrThrow(dir);
}

void GenerationRun::Impl::PrepareParts(const std::string& baseDirectory) {
  const html::PageFrame frame = html::BuildPageFrame(settings.Page, baseDirectory, style());
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
  const PictureSettings& pictures = settings.Picture;
  if (!pictures.CreatePicturePages) return image_link_prefix + image.file_name;
  html::WritePicturePage(image.picture_page_path, pictures, directory, image.file_name, style());
  return image_link_prefix + image.page_base + ".html";
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
  if (!thumbnail.failure.empty()) return Fail(image.path, thumbnail.failure);
  std::string link;
  try {
    link = CellLink(image);
  } catch (const Error& e) {
    return Fail(image.path, e.what());
  }
  const std::size_t target = static_cast<std::size_t>(settings.Picture.TargetFrame.value());
  const std::string cell =
      cell_open_tag + "<a href=\"" + html::EncodeUrlPath(link, style()) + "\"" +
      std::string(kTargetFrameAttributes[target]) + "><img src=\"" +
      html::EncodeUrlPath(thumbnail_link_prefix + image.thumbnail_name, style()) +
      "\" border=\"0\"></a>" +
      html::BuildCaption(settings.Text, image.file_name, image.source.file_size) + "</td>";
  const PagePlan& p = plan.layout.pages[static_cast<std::size_t>(page)];
  writer.AddCell(index - p.first_image, plan.layout.cells_per_row, cell);
  ++summary.images_done;
  if (thumbnail.made) ++summary.thumbnails_made;
}

void GenerationRun::Impl::Finish() {
  running = false;
  if (thumbnails) thumbnails->Stop();
  ClosePage();
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
  r.thumbnails = std::make_unique<RunThumbnails>(r.settings, r.env.imaging, r.plan.images);
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
    return false;
  }
  return true;
}

void GenerationRun::StopRun() {
  Impl& r = *impl_;
  if (!r.running) return;
  r.summary.stopped = true;
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
const GallerySettings& GenerationRun::settings() const { return impl_->settings; }
const std::vector<std::string>& GenerationRun::pages() const { return impl_->pages; }

}  // namespace quorvel
