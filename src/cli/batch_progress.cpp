#include "cli/batch_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "cli/terminal_text.h"
#include "job/path_names.h"
#include "run/run_pace.h"

namespace quorvel::cli {

std::string TerminalProgressLine(int done, int total, std::int64_t elapsed_ms,
                                 const std::string& image, int columns) {
  std::string line = std::to_string(done) + " of " + std::to_string(total) + " images";
  const RunPace pace = PaceText(done, total, elapsed_ms);
  if (!pace.rate.empty()) line += ", " + pace.rate + ", " + pace.left;
  if (!image.empty()) line += ": " + LastPathComponent(image, kNativePathStyle);
  // One column stays free: a line that fills the terminal exactly wraps on some terminals.
  if (columns > 1 && line.size() >= static_cast<std::size_t>(columns)) {
    line.resize(static_cast<std::size_t>(columns) - 1);
  }
  return line;
}

int TerminalColumns(std::FILE* file) {
  winsize size{};
  if (::ioctl(::fileno(file), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

BatchProgress::BatchProgress(std::FILE* out, bool quiet, bool terminal, int columns)
    : out_(out), quiet_(quiet), terminal_(terminal), columns_(columns) {}

void BatchProgress::Show(const GenerationRun& run, const std::string& path) {
  if (quiet_) return;
  const std::string image = TerminalText(path);
  if (terminal_) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    // Carriage return and clear-to-end-of-line redraw the one status line.
    std::fprintf(
        out_, "\r\033[K%s",
        TerminalProgressLine(run.image_index(), run.image_count(), elapsed.count(), image, columns_)
            .c_str());
    drawn_ = true;
  } else {
    std::fprintf(out_, "%s %s\n", run.ProgressTitle().c_str(), image.c_str());
  }
  std::fflush(out_);
}

void BatchProgress::Done() {
  if (drawn_) std::fputc('\n', out_);
  drawn_ = false;
  std::fflush(out_);
}

}  // namespace quorvel::cli
