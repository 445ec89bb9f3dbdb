// Ctrl-C (SIGINT) and SIGTERM during quorvel-batch do what the window's "&Stop" does: the run is
// asked to stop between two images. A second signal ends the program at once; every file it
// leaves is still whole, since each is written through a temporary file.
#pragma once

namespace quorvel::cli {

class StopSignals {
 public:
  StopSignals();   // catches SIGINT and SIGTERM, each once
  ~StopSignals();  // gives both back their previous handling
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The signal received, or 0.
  int received() const;
};

}  // namespace quorvel::cli
