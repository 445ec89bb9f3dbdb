#include "run/generation_run.h"

#include <algorithm>
#include <set>

#include "html/caption.h"
#include "html/escaping.h"
#include "html/navigator.h"
#include "html/page_frame.h"
#include "html/picture_page.h"
#include "html/table_tags.h"
#include "imaging/fast_image.h"
#include "imaging/jpeg_header.h"
#include "job/directory_list.h"
#include "job/error.h"
#include "job/output_names.h"
#include "job/path_names.h"
#include "job/relative_path.h"
#include "job/tidy_path.h"
#include "platform/file_system.h"
#include "run/current_thumbnail.h"
#include "run/index_page.h"
#include "run/navigators.h"
#include "run/output_plan.h"
#include "run/page_plan.h"
#include "run/source_headers.h"
#include "run/thumbnail_workers.h"

namespace quorvel {

struct GenerationRun::Impl {
  GallerySettings settings;
  RunEnvironment env;
  imaging::FastImage fast_image;
  // Watched by every decode of the run; see StopFlag.
  std::atomic<bool> stop_requested{false};
  // Set when more than one worker makes the thumbnails; otherwise each tick makes its own.
  std::unique_ptr<ThumbnailWorkers> workers;
  // Update mode: the images whose thumbnails are still current, found while planning.
  std::vector<char> kept;
  std::vector<int> worker_job;  // each image's job among the workers' own, or -1

  // The working state of the run.
  std::vector<ImagePlan> plans;
  std::vector<std::string> navigator_list;
  IndexPage page;
  int image_count = 0;
  int image_index = 0;
  int cells_per_row = 1;
  int rows_per_page = 1;
  int cell_in_row = 0;
  int row_in_page = 0;
  int cells_on_page = 0;
  std::string row_text;
  std::string image_link_prefix;
  std::string thumbnail_link_prefix;
  std::string table_open_tag;
  std::string cell_open_tag;
  html::PageFrame frame;
  html::NavigatorWrapper navigator;
  int page_number = 0;
  int navigator_index = 0;
  std::string previous_directory;
  bool first_directory = true;
  std::string thumbnail_directory;
  std::string current_directory;
  std::string current_file_name;
  bool running = false;
  RunSummary summary;
  std::vector<std::string> pages_written;

  PathStyle style() const { return env.style; }
  const OutputSettings& out() const { return settings.Output; }

  void Validate();
  std::vector<std::string> LeaveOutUnreadable(const std::vector<std::string>& images,
                                              std::vector<imaging::SourceHeader>& headers);
  void ProbeOutputDirectories(const OutputPlan& plan) const;
  void FindCurrentThumbnails();
  void StartWorkers();
  void PrepareFragments();
  void OpenPage(const std::string& name);
  void FlushRow();
  void ClosePage();
  void EnterDirectory();
  void AddImageCell(const ImagePlan& plan);
  ThumbnailJob JobFor(const ImagePlan& plan) const;
  ThumbnailResult MakeThumbnailFor(int index, const ImagePlan& plan);
  void StopWorkers();
  void Fail(const std::string& image, const std::string& message);
  std::string CellLink(const ImagePlan& plan);
  void Finish();
};

void GenerationRun::Impl::Validate() {
  OutputSettings& o = settings.Output;
  if (style() == PathStyle::Posix) TidyOutputDirectories(o, platform::CurrentDirectory());
  if (!o.HTMLIntoImageDirectory) {
    const DirectoryOps ops{platform::DirectoryExists, platform::CreateDirectories};
    o.HTMLDirectory = NormalizeDirectoryField(o.HTMLDirectory, style(), ops, env.ask);
    if (o.HTMLDirectory.empty() || !platform::DirectoryExists(o.HTMLDirectory)) {
      throw Error("You must create or choose directory first!");
    }
  }
  if (o.ThumbnailsIntoImageDirectory && o.ThumbnailDirectoryName.empty()) {
    throw Error("Wrong thumbnail directory");
  }
  // Without it every thumbnail would land in the current directory.
  if (!o.ThumbnailsIntoImageDirectory && o.AllThumbnailsDirectory.empty()) {
    throw Error("You must create or choose thumbnail directory first!");
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

// Every directory an output goes to must take a file; one the run creates (thumbnails beside
// the images) needs its parent to.
void GenerationRun::Impl::ProbeOutputDirectories(const OutputPlan& plan) const {
  std::set<std::string> dirs;
  for (const PagePlan& p : plan.pages) dirs.insert(DirectoryPart(p.path, style()));
  for (const ImagePlan& image : plan.images) {
    dirs.insert(DirectoryPart(image.thumbnail_path, style()));
    if (settings.Picture.CreatePicturePages) dirs.insert(image.directory);
  }
  for (const std::string& dir : dirs) {
    const bool created_by_run = out().ThumbnailsIntoImageDirectory && !platform::PathExists(dir);
    const std::string probed = created_by_run ? DirectoryPart(dir, style()) : dir;
    if (const int error = platform::ProbeWritableDirectory(probed); error != 0) {
      throw Error(FormatMessage("Cannot write to directory %s", probed) + " (" +
                  platform::ErrorText(error) + ")");
    }
  }
}

void GenerationRun::Impl::FindCurrentThumbnails() {
  kept.assign(plans.size(), 0);
  if (!out().UpdateHTML) return;
  const auto tables = imaging::ExpectedQuantTables(settings.Thumbnail.Quality);
  ForEachInParallel(plans.size(), env.imaging.jobs, [&](std::size_t i) {
    kept[i] = IsCurrentThumbnail(JobFor(plans[i]).request, plans[i].source, tables) ? 1 : 0;
  });
}

void GenerationRun::Impl::StartWorkers() {
  std::vector<ThumbnailJob> jobs;
  worker_job.assign(plans.size(), -1);
  for (std::size_t i = 0; i < plans.size(); ++i) {
    if (kept[i]) continue;
    const ImagePlan& plan = plans[i];
    worker_job[i] = static_cast<int>(jobs.size());
    ThumbnailJob& job = jobs.emplace_back(JobFor(plan));
    // A worker may reach a directory before the page writer enters and creates it.
    if (out().ThumbnailsIntoImageDirectory) {
      job.directory = ThumbnailDirectoryFor(out(), plan.directory, style());
    }
  }
  workers = std::make_unique<ThumbnailWorkers>(std::move(jobs), env.imaging.jobs, &stop_requested);
}

void GenerationRun::Impl::PrepareFragments() {
  const std::string& base = out().HTMLIntoImageDirectory ? current_directory : out().HTMLDirectory;
  frame = html::BuildPageFrame(settings.Page, base, style());
  table_open_tag = html::BuildTableOpenTag(settings.Table, base, style());
  cell_open_tag = html::BuildCellOpenTag(settings.Cell, base, style());
}

void GenerationRun::Impl::OpenPage(const std::string& name) {
  page.Open(name);
  page.WriteLine("");
  page.WriteLines(frame.Header);
  const NavigatorSettings& nav = settings.Navigator;
  if (nav.Print && navigator_index >= 0 &&
      navigator_index < static_cast<int>(navigator_list.size()) &&
      !navigator_list[static_cast<std::size_t>(navigator_index)].empty()) {
    page.WriteLine(navigator.Prefix + navigator_list[static_cast<std::size_t>(navigator_index)] +
                   navigator.Suffix);
    page.WriteLine("");
  }
  page.WriteLine(table_open_tag);
  row_text.clear();
  cell_in_row = 0;
  row_in_page = 1;
  cells_on_page = 0;
}

void GenerationRun::Impl::FlushRow() {
  if (row_text.empty()) return;
  page.WriteLine("<tr>");
  page.WriteLine(row_text);
  page.WriteLine("</tr>");
}

void GenerationRun::Impl::ClosePage() {
  if (!page.is_open()) return;
  FlushRow();
  row_text.clear();
  page.WriteLine(html::TableCloseLine(settings.Table));
  page.WriteLine("");
  page.WriteLines(frame.Footer);
  const std::string path = page.path();
  page.Close();
  if (std::find(pages_written.begin(), pages_written.end(), path) == pages_written.end()) {
    pages_written.push_back(path);
  }
  summary.pages_written = static_cast<int>(pages_written.size());
}

void GenerationRun::Impl::EnterDirectory() {
  const OutputSettings& o = out();
  const PathStyle s = style();
  const std::string current_with_sep = WithTrailingSeparator(current_directory, s);
  image_link_prefix =
      o.HTMLIntoImageDirectory ? "" : RelativePath(o.HTMLDirectory, current_with_sep, s);
  previous_directory = current_directory;
  if (o.ThumbnailsIntoImageDirectory) {
    thumbnail_directory = ThumbnailDirectoryFor(o, current_directory, s);
    platform::CreateDirectory(thumbnail_directory);
    const std::string thumbs_with_sep = WithTrailingSeparator(thumbnail_directory, s);
    thumbnail_link_prefix = o.HTMLIntoImageDirectory
                                ? RelativePath(current_directory, thumbs_with_sep, s)
                                : RelativePath(o.HTMLDirectory, thumbs_with_sep, s);
  } else {
    thumbnail_link_prefix = o.HTMLIntoImageDirectory
                                ? RelativePath(current_with_sep, o.AllThumbnailsDirectory, s)
                                : RelativePath(o.HTMLDirectory, o.AllThumbnailsDirectory, s);
  }
  if (o.HTMLIntoImageDirectory && !first_directory) ++navigator_index;
  if (SequencePerDirectory(o)) {
    const std::string name = PageFileName(o, current_directory, 0, s);
    // The page opened at the start is still empty and has this very name: keep it.
    const bool same_empty_page = first_directory && cells_on_page == 0 && page.path() == name;
    page_number = 0;
    if (!same_empty_page) {
      ClosePage();
      // Pages in image directories link their backgrounds from where they are written.
      if (o.HTMLIntoImageDirectory) PrepareFragments();
      OpenPage(name);
    }
  }
  first_directory = false;
}

ThumbnailJob GenerationRun::Impl::JobFor(const ImagePlan& plan) const {
  ThumbnailJob job;
  imaging::ThumbnailRequest& request = job.request;
  request.source = plan.path;
  request.target = plan.thumbnail_path;
  request.box_width = settings.Thumbnail.ThumbnailWidth;
  request.box_height = settings.Thumbnail.ThumbnailHeight;
  request.quality = settings.Thumbnail.Quality;
  request.grayscale = settings.Thumbnail.Grayscale;
  request.apply_orientation = env.imaging.apply_orientation;
  request.orientation = plan.source.orientation;
  request.limits.stop = &stop_requested;
  request.keep_color_profile = env.imaging.keep_color_profile;
  request.fast = env.imaging.fast;
  return job;
}

ThumbnailResult GenerationRun::Impl::MakeThumbnailFor(int index, const ImagePlan& plan) {
  const std::size_t i = static_cast<std::size_t>(index);
  if (kept[i]) return {};
  if (workers) return workers->Wait(worker_job[i]);
  return MakeThumbnailJob(JobFor(plan), fast_image);
}

void GenerationRun::Impl::StopWorkers() {
  if (workers) workers->Cancel();
  workers.reset();
}

void GenerationRun::Impl::Fail(const std::string& image, const std::string& message) {
  ++summary.images_failed;
  summary.failures.push_back({image, message});
}

std::string GenerationRun::Impl::CellLink(const ImagePlan& plan) {
  const PictureSettings& pictures = settings.Picture;
  if (!pictures.CreatePicturePages) return image_link_prefix + plan.file_name;
  html::WritePicturePage(plan.picture_page_path, pictures, current_directory, plan.file_name,
                         style());
  return image_link_prefix + plan.page_base + ".html";
}

// A failed image keeps its place in the layout planned for the navigators, but gets no cell and
// no picture page: nothing on a page leads to a file that does not exist.
void GenerationRun::Impl::AddImageCell(const ImagePlan& plan) {
  const ThumbnailResult thumbnail = MakeThumbnailFor(image_index, plan);
  if (thumbnail.stopped) return;  // skipped as the images after it: the run stops next tick
  if (cell_in_row >= cells_per_row) {
    ++row_in_page;
    cell_in_row = 0;
  } else {
    ++cell_in_row;
  }
  if (out().SplitHTML && out().SeparateHTML && row_in_page > rows_per_page && cell_in_row == 0) {
    ClosePage();
    ++page_number;
    OpenPage(PageFileName(out(), current_directory, page_number, style()));
    row_in_page = 1;
  }
  if (cell_in_row == 0) {
    FlushRow();
    ++cell_in_row;
    row_text.clear();
  }
  ++cells_on_page;
  if (!thumbnail.failure.empty()) return Fail(plan.path, thumbnail.failure);
  std::string link;
  try {
    link = CellLink(plan);
  } catch (const Error& e) {
    return Fail(plan.path, e.what());
  }
  row_text +=
      cell_open_tag + "<a href=\"" + html::EncodeUrlPath(link) + "\"" +
      std::string(
          kTargetFrameAttributes[static_cast<std::size_t>(settings.Picture.TargetFrame.value())]) +
      ">";
  row_text += "<img src=\"" + html::EncodeUrlPath(thumbnail_link_prefix + plan.thumbnail_name) +
              "\" border=\"0\"></a>" +
              html::BuildCaption(settings.Text, plan.file_name, plan.source.file_size) + "</td>";
  ++summary.images_done;
  if (thumbnail.made) ++summary.thumbnails_made;
  for (const std::string& warning : thumbnail.warnings)
    summary.warnings.push_back({plan.path, warning});
}

void GenerationRun::Impl::Finish() {
  running = false;
  StopWorkers();
  ClosePage();
}

GenerationRun::GenerationRun(GallerySettings settings, RunEnvironment environment)
    : impl_(std::make_unique<Impl>()) {
  impl_->settings = std::move(settings);
  impl_->env = std::move(environment);
}

GenerationRun::~GenerationRun() { impl_->StopWorkers(); }

GenerationRun::Start GenerationRun::StartRun() {
  Impl& r = *impl_;
  r.Validate();
  const std::vector<std::string> found = CollectImages(r.out().Directories);
  if (found.empty()) return Start::NothingToDo;
  std::vector<imaging::SourceHeader> headers;
  const std::vector<std::string> images = r.LeaveOutUnreadable(found, headers);
  OutputPlan plan = PlanOutputs(r.settings, images, r.style());
  for (std::size_t i = 0; i < headers.size(); ++i) plan.images[i].source = headers[i];
  r.ProbeOutputDirectories(plan);
  r.plans = std::move(plan.images);
  r.image_count = static_cast<int>(r.plans.size());
  r.cells_per_row = r.out().ThumbnailsInRow;
  r.rows_per_page = r.out().ThumbnailsInColumn;
  r.navigator_list =
      BuildNavigators({r.out(), images, r.cells_per_row, r.rows_per_page, r.style()});
  r.navigator = html::BuildNavigatorWrapper(r.settings.Navigator);
  r.FindCurrentThumbnails();
  r.image_index = 0;
  r.page_number = 0;
  r.navigator_index = 0;
  r.previous_directory.clear();
  r.thumbnail_directory.clear();
  r.thumbnail_link_prefix.clear();
  r.first_directory = true;
  r.running = true;
  if (r.plans.empty()) return Start::Started;  // every image left out: only failures to report
  r.current_directory = r.plans.front().directory;
  r.PrepareFragments();
  r.OpenPage(PageFileName(r.out(), r.current_directory, 0, r.style()));
  if (r.env.imaging.jobs > 1) r.StartWorkers();
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
    if (r.image_index >= r.image_count) {
      r.Finish();
      return false;
    }
    const ImagePlan& plan = r.plans[static_cast<std::size_t>(r.image_index)];
    r.current_file_name = plan.file_name;
    r.current_directory = plan.directory;
    if (r.first_directory || r.current_directory != r.previous_directory) r.EnterDirectory();
    r.AddImageCell(plan);
    ++r.image_index;
  } catch (const Error& e) {
    // A page that cannot be written ends the run.
    r.summary.page_error = e.what();
    r.running = false;
    r.StopWorkers();
    r.page.Discard();
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
int GenerationRun::image_count() const { return impl_->image_count; }

std::string GenerationRun::current_image() const {
  const Impl& r = *impl_;
  if (r.plans.empty()) return {};
  const int i = std::min(r.image_index, r.image_count - 1);
  return r.plans[static_cast<std::size_t>(i)].path;
}

std::string GenerationRun::ProgressTitle() const {
  return "Process stats [" + std::to_string(impl_->image_index) + " / " +
         std::to_string(impl_->image_count) + "]";
}

const RunSummary& GenerationRun::summary() const { return impl_->summary; }
std::atomic<bool>& GenerationRun::StopFlag() { return impl_->stop_requested; }
const GallerySettings& GenerationRun::settings() const { return impl_->settings; }
const std::vector<std::string>& GenerationRun::pages_written() const {
  return impl_->pages_written;
}

}  // namespace quorvel
