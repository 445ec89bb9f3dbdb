// Progress of a run on stderr: on a terminal one line redrawn in place with the images done of
// all, the images per second and the time left, as the window's progress window shows them;
// otherwise (a pipe, a log) one line per image.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "run/generation_run.h"

namespace quorvel::cli {

class BatchProgress {
 public:
  // `columns` is the terminal's width (0 when not known).
  BatchProgress(std::FILE* out, bool quiet, bool terminal, int columns = 0);
  // After the run's last tick, with the image that tick took.
  void Show(const GenerationRun& run, const std::string& image);
  void Done();

 private:
  std::FILE* out_;
  bool quiet_;
  bool terminal_;
  int columns_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The terminal line: "12 of 30 images, 4.2 images/s, 0:05 left: photo.jpg", cut to `columns`
// (when not 0) so that it never wraps.
std::string TerminalProgressLine(int done, int total, std::int64_t elapsed_ms,
                                 const std::string& image, int columns);

// The width of the terminal on `file`, 0 when it is none.
int TerminalColumns(std::FILE* file);

}  // namespace quorvel::cli
