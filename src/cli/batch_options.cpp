#include "cli/batch_options.h"

#include <CLI/CLI.hpp>
#include <sstream>

namespace quorvel::cli {
namespace {

constexpr char kVersion[] = "quorvel-batch 1.0.0";

}  // namespace

ParseResult ParseBatchOptions(int argc, const char* const* argv) {
  ParseResult result;
  BatchOptions& o = result.options;
  CLI::App app{
      "Turns folders of JPEG photographs into a static web gallery: thumbnails and "
      "index pages, as the window's GO! does.\n"
      "  quorvel-batch -o web ~/Pictures   writes web/index.html and web/thumbs/",
      "quorvel-batch"};
  app.set_version_flag("--version", kVersion);
  std::vector<std::string> sets;
  std::string html_dir;
  std::string thumb_dir;
  std::string state;
  std::string save_state;
  std::string demo;
  bool no_orient = false;
  bool no_profile = false;
  int jobs = 0;
  std::string output;
  app.add_option("DIR", o.directories, "image directories of the gallery");
  CLI::Option* output_option =
      app.add_option(
             "-o,--output", output,
             "the gallery's directory: index pages in it, thumbnails in its \"thumbs\" (unless "
             "--thumb-dir says otherwise); created with its parents when missing")
          ->type_name("DIR");
  app.add_option("--html-dir", html_dir, "directory for the index pages (HTMLDirectory)")
      ->type_name("DIR")
      ->excludes(output_option);
  app.add_option("--thumb-dir", thumb_dir, "directory for all thumbnails (AllThumbnailsDirectory)")
      ->type_name("DIR");
  app.add_flag("-r,--recursive", o.recursive,
               "add every sub-directory too, leaving out thumbnail directories as the window's "
               "\"Add All Sub Directories\" does");
  app.add_option("--set", sets,
                 "set a setting by its name: Field=Value, e.g. ThumbnailsInRow=4, "
                 "PageSettings.Title=Trip, TableSettings.BorderColor=#FF0000")
      ->allow_extra_args(false)
      ->take_all();
  app.add_flag("--web", o.web,
               "make a gallery for today's visitors, to publish as it is: photo pages with display "
               "copies (WebSettings.PhotoPages, .DisplaySize=1600, .DisplayQuality=85, "
               ".PhotoDetails, .Originals), 2x thumbnails (.HighDensityThumbnails), pages that fit "
               "a phone (.PhoneLayout) and HEIC, AVIF, PNG and WebP photos (.OtherFormats); "
               "--set changes each part");
  app.add_flag("--create-dirs", o.create_dirs,
               "create a missing --html-dir or --thumb-dir, parents included");
  app.add_flag("-q,--quiet", o.quiet, "print no progress");
  app.add_option("--state", state, "load a state file before the other options apply");
  app.add_option("--save-state", save_state,
                 "write the settings as they stand after all options to a state file and exit");
  app.add_option("--demo", demo, "make a demo gallery of generated photos in this directory");
  app.add_flag("--no-orient", no_orient, "do not turn thumbnails by the camera's orientation tag");
  app.add_flag("--no-profile", no_profile, "do not carry colour profiles into thumbnails");
  app.add_flag("--fast", o.imaging.fast,
               "decode large photos at reduced scale (faster, not exact)");
  app.add_option(
         "-j,--jobs", jobs,
         "thumbnail workers (default: all hardware threads, at most one per 1280 MB of memory)")
      ->check(CLI::Range(ImagingOptions::kMinJobs, ImagingOptions::kMaxJobs));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    std::ostringstream out;
    std::ostringstream err;
    result.exit_code = app.exit(e, out, err) == 0 ? 0 : 2;
    result.outcome = ParseOutcome::Exit;
    result.message = out.str() + err.str();
    return result;
  }
  for (const std::string& s : sets) {
    const std::size_t eq = s.find('=');
    if (eq == std::string::npos || eq == 0) {
      result.outcome = ParseOutcome::Exit;
      result.exit_code = 2;
      result.message = "--set " + s + ": expected Field=Value\n";
      return result;
    }
    o.sets.emplace_back(s.substr(0, eq), s.substr(eq + 1));
  }
  if (!output.empty()) o.output_dir = output;
  if (!html_dir.empty()) o.html_dir = html_dir;
  if (!thumb_dir.empty()) o.thumb_dir = thumb_dir;
  if (!state.empty()) o.state_file = state;
  if (!save_state.empty()) o.save_state_file = save_state;
  if (!demo.empty()) o.demo_dir = demo;
  o.imaging.apply_orientation = !no_orient;
  o.imaging.keep_color_profile = !no_profile;
  o.imaging.jobs = jobs > 0 ? jobs : ImagingOptions::DefaultJobs();
  if (o.directories.empty() && !o.save_state_file && !o.demo_dir) {
    result.outcome = ParseOutcome::Exit;
    result.exit_code = 2;
    result.message = app.help();
  }
  return result;
}

}  // namespace quorvel::cli
