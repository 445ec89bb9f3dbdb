#include "cli/batch_job.h"

#include <unistd.h>

#include "cli/batch_progress.h"
#include "cli/demo_gallery.h"
#include "cli/stop_signals.h"
#include "cli/terminal_text.h"
#include "job/directory_field.h"
#include "job/directory_list.h"
#include "job/error.h"
#include "job/image_formats.h"
#include "job/settings_fields.h"
#include "persist/state_file.h"
#include "platform/file_system.h"
#include "run/skipped_photos.h"

namespace quorvel::cli {
namespace {

std::string WithoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

GallerySettings BuildSettings(const BatchOptions& o) {
  GallerySettings settings;
  if (o.state_file) settings = persist::LoadState(*o.state_file, settings);
  if (o.web) SetWebReady(settings.Web, true);
  for (const auto& [name, value] : o.sets) SetFieldFromText(settings, name, value);
  if (o.html_dir) settings.Output.HTMLDirectory = *o.html_dir;
  if (o.thumb_dir) settings.Output.AllThumbnailsDirectory = *o.thumb_dir;
  if (o.output_dir) {
    settings.Output.HTMLDirectory = WithoutTrailingSlash(*o.output_dir) + "/";
    if (!o.thumb_dir)
      settings.Output.AllThumbnailsDirectory = settings.Output.HTMLDirectory + "thumbs/";
  }
  return settings;
}

// Says which options a newcomer's first command lacks, in the window's words and the CLI's.
void RequireOutputDirectories(const OutputSettings& output) {
  std::string missing;
  if (!output.HTMLIntoImageDirectory && output.HTMLDirectory.empty()) missing = "--html-dir DIR";
  if (!output.ThumbnailsIntoImageDirectory && output.AllThumbnailsDirectory.empty()) {
    missing += (missing.empty() ? "" : ", ") + std::string("--thumb-dir DIR");
  }
  if (missing.empty()) return;
  throw Error("You must create or choose directory first! Missing " + missing +
              " (or -o DIR: the pages in DIR, the thumbnails in DIR/thumbs)");
}

void AddDirectories(const BatchOptions& o, OutputSettings& output) {
  for (const std::string& given : o.directories) {
    const std::string dir = WithoutTrailingSlash(given);
    if (!platform::DirectoryExists(dir)) throw Error("Directory \"" + dir + "\" does not exist");
    InsertDirectorySorted(output.Directories, dir);
    if (o.recursive) {
      ScanSubDirectories(
          dir, [&](const std::string& path) { AddDirectoryEntry(output, path, kNativePathStyle); });
    }
  }
}

// Everything before the run: settings, output directories, the directory list. Nothing is
// created here: the run creates missing output directories once it has checked everything.
GallerySettings PrepareSettings(const BatchOptions& o) {
  GallerySettings settings = BuildSettings(o);
  if (o.save_state_file) return settings;
  RequireOutputDirectories(settings.Output);
  AddDirectories(o, settings.Output);
  return settings;
}

// "1 image", "2 images".
std::string Counted(int count, const char* noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// "30 images: 2 made, 28 kept, 1 failed; 1 page written, 3 unchanged", with " (stopped)"; a
// stopped run says how many of the images it reached.
std::string SummaryLine(const RunSummary& s, bool stopped) {
  const int made = s.thumbnails_made;
  const int kept = s.images_done - s.thumbnails_made;
  const int reached = made + kept + s.images_failed;
  std::string line = stopped && reached < s.images_found
                         ? std::to_string(reached) + " of " + Counted(s.images_found, "image")
                         : Counted(reached, "image");
  line += ": " + std::to_string(made) + " made, " + std::to_string(kept) + " kept, " +
          std::to_string(s.images_failed) + " failed";
  if (!s.skipped.empty()) line += ", " + std::to_string(s.skipped.size()) + " skipped";
  line += "; " + Counted(s.pages_written, "page") + " written, " +
          std::to_string(s.pages_unchanged) + " unchanged";
  return stopped ? line + " (stopped)" : line;
}

// Each photo left out for its format, then what they were and how to take them.
void ReportSkipped(const RunSummary& s, std::FILE* err) {
  for (const std::string& path : s.skipped) {
    const std::string format(FormatLabel(FormatOfName(path)));
    std::fprintf(err, "%s\n", TerminalText(path + ": skipped: " + format + " is not JPEG").c_str());
  }
  if (!s.skipped.empty()) {
    std::fprintf(err, "%s; --web includes them\n", SkippedPhotosLine(s.skipped).c_str());
  }
}

// Exit status 0 when every image was done, 1 when something failed, 128 + the signal when the
// run was stopped by one.
int ReportSummary(const GenerationRun& run, std::FILE* err, bool quiet, int signal) {
  const RunSummary& s = run.summary();
  for (const ImageWarning& w : s.warnings) {
    std::fprintf(err, "%s\n", TerminalText(w.path + ": warning: " + w.message).c_str());
  }
  for (const ImageFailure& f : s.failures) {
    // A message that names the image ("Cannot read image %s") needs its path only once.
    const std::string line =
        f.message.find(f.path) != std::string::npos ? f.message : f.path + ": " + f.message;
    std::fprintf(err, "%s\n", TerminalText(line).c_str());
  }
  if (!s.page_error.empty()) std::fprintf(err, "%s\n", TerminalText(s.page_error).c_str());
  ReportSkipped(s, err);
  if (!quiet || !s.failures.empty() || !s.page_error.empty() || !s.skipped.empty()) {
    std::fprintf(err, "%s\n", SummaryLine(s, s.stopped || signal != 0).c_str());
  }
  if (signal != 0) return 128 + signal;
  return s.failures.empty() && s.page_error.empty() ? 0 : 1;
}

int Fail(std::FILE* err, const Error& e) {
  std::fprintf(err, "quorvel-batch: %s\n", TerminalText(e.what()).c_str());
  return 2;
}

}  // namespace

int RunBatchJob(const BatchOptions& given, std::FILE* out, std::FILE* err) {
  BatchOptions o = given;
  if (o.demo_dir) {
    try {
      o = PrepareDemoGallery(*o.demo_dir, given);
    } catch (const Error& e) {
      return Fail(err, e);
    }
  }
  bool declined = false;
  const Question ask = [&](const std::string& message) {
    if (!o.quiet && o.create_dirs) std::fprintf(err, "%s Yes\n", TerminalText(message).c_str());
    declined = declined || !o.create_dirs;
    return o.create_dirs;
  };
  GallerySettings settings;
  try {
    settings = PrepareSettings(o);
    if (o.save_state_file) {
      persist::SaveState(settings, *o.save_state_file);
      return 0;
    }
  } catch (const Error& e) {
    return Fail(err, e);
  }
  RunEnvironment env;
  env.ask = ask;
  env.create_missing_directories = o.output_dir.has_value();
  env.imaging = o.imaging;
  GenerationRun run(settings, env);
  const StopSignals signals(&run.StopFlag());
  try {
    if (run.StartRun() == GenerationRun::Start::NothingToDo) {
      ReportSkipped(run.summary(), err);
      if (!o.quiet) std::fprintf(err, "No JPEG images found; nothing written.\n");
      return 0;
    }
  } catch (const Error& e) {
    if (!declined) return Fail(err, e);
    return Fail(err, Error(e.what() + std::string(" (use --create-dirs, or -o DIR)")));
  }
  const bool terminal = ::isatty(::fileno(err)) != 0;
  BatchProgress progress(err, o.quiet, terminal, terminal ? TerminalColumns(err) : 0);
  progress.Show(run, "");
  // A signal before the first image leaves every page as it was.
  while (signals.received() == 0 || run.image_index() > 0) {
    if (signals.received() != 0) run.StopRun();
    const std::string image = run.current_image();
    if (!run.RunTick()) break;
    progress.Show(run, image);
  }
  progress.Done();
  if (!o.quiet && !run.pages().empty()) {
    std::fprintf(out, "%s\n", TerminalText(run.pages().front()).c_str());
  }
  return ReportSummary(run, err, o.quiet, signals.received());
}

}  // namespace quorvel::cli
