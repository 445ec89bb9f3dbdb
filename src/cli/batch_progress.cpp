#include "cli/batch_progress.h"

#include "cli/terminal_text.h"

namespace quorvel::cli {

BatchProgress::BatchProgress(std::FILE* out, bool quiet, bool terminal)
    : out_(out), quiet_(quiet), terminal_(terminal) {}

void BatchProgress::Show(const std::string& title, const std::string& path) {
  if (quiet_) return;
  const std::string image = TerminalText(path);
  if (terminal_) {
    // Carriage return and clear-to-end-of-line redraw the one status line.
    std::fprintf(out_, "\r\033[K%s %s", title.c_str(), image.c_str());
    drawn_ = true;
  } else {
    std::fprintf(out_, "%s %s\n", title.c_str(), image.c_str());
  }
  std::fflush(out_);
}

void BatchProgress::Done() {
  if (drawn_) std::fputc('\n', out_);
  drawn_ = false;
  std::fflush(out_);
}

}  // namespace quorvel::cli
