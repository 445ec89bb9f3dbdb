// Ctrl-C (SIGINT) and SIGTERM during quorvel-batch do what the window's "&Stop" does: the run is
// asked to stop, and the image in hand is given up at once through the run's stop flag. A
// second signal ends the program at once; every file it leaves is still whole, since each is
// written through a temporary file.
#pragma once

#include <atomic>

namespace quorvel::cli {

class StopSignals {
 public:
  // Catches SIGINT and SIGTERM, each once; the handler also sets `stop` when given (a
  // lock-free atomic, so setting it is safe in a signal handler).
  explicit StopSignals(std::atomic<bool>* stop = nullptr);
  ~StopSignals();  // gives both back their previous handling
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal received, or 0.
  int received() const;
};

}  // namespace quorvel::cli
