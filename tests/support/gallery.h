// The gallery as its tests meet it: a library with the names real ones have, a run driven tick
// by tick, quorvel-batch run as a user runs it, and a browser's check that every link leads on.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "run/generation_run.h"

namespace quorvel::testing {

class TempDir;

// Writes into `tmp` photos with names that trouble browsers and shells, a text named .jpg, a
// turned phone photo, a linked folder and bg.png; returns the directories as a user might list
// them, photos/ spelt four ways.
std::vector<std::string> MakeAwkwardLibrary(const TempDir& tmp);

// Sets fields from "Field=Value" texts, as quorvel-batch's --set does.
void SetFields(GallerySettings& settings, const std::vector<std::string>& sets);

// Default settings with web/ and thumbs/ of `root` as the two output directories.
GallerySettings GalleryInto(const std::string& root, std::vector<std::string> directories);

struct GalleryResult {
  RunSummary summary;
  std::vector<std::string> pages;   // completed, in order
  std::vector<std::string> images;  // laid out on pages, in order
  GallerySettings settings;         // as the run used them
  std::string error;                // StartRun's refusal, if any
};

// Starts and runs to the end; `before_tick(n)` is called before each tick with the ticks done.
GalleryResult RunGallery(const GallerySettings& settings, const ImagingOptions& imaging = {},
                         const std::function<void(int)>& before_tick = {});

// Checks every ".html" file below `root`: it ends as a complete page, holds only ASCII, and each
// href, src, background and 2x srcset value, percent-decoded and taken relative to the page,
// names an existing file that `allowed` (when given) accepts by its canonical path, neither
// starting with a scheme nor holding a backslash (which browsers read as "/"). One line per
// fault, empty when there is none; `links` receives the number checked.
std::string BrokenLinks(const std::string& root, int* links = nullptr,
                        const std::function<bool(const std::string&)>& allowed = {});

// Starts argv[0] (no shell) with stdin from /dev/null and stdout and stderr into `output`, in
// `cwd` when given; -1 when it cannot.
pid_t Spawn(const std::vector<std::string>& argv, const std::string& output = "/dev/null",
            const std::string& cwd = "");
// The exit code, or 128 + the signal that ended the process.
int WaitFor(pid_t pid);

struct ProcessResult {
  int status = -1;
  std::string output;  // stdout and stderr together
};
ProcessResult RunProgram(const std::vector<std::string>& argv, const std::string& cwd = "");

}  // namespace quorvel::testing
