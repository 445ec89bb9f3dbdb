#include "cli/stop_signals.h"

#include <csignal>

namespace quorvel::cli {
namespace {

// Written only by the handler, read by the run's loop between images.
volatile std::sig_atomic_t received_signal = 0;
struct sigaction previous_int {};
struct sigaction previous_term {};

void Remember(int signal) { received_signal = signal; }

}  // namespace

StopSignals::StopSignals() {
  received_signal = 0;
  struct sigaction action {};
  action.sa_handler = Remember;
  sigemptyset(&action.sa_mask);
  // The handler is reset as it runs, so a second Ctrl-C takes the default way out.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, &previous_int);
  sigaction(SIGTERM, &action, &previous_term);
}

StopSignals::~StopSignals() {
  sigaction(SIGINT, &previous_int, nullptr);
  sigaction(SIGTERM, &previous_term, nullptr);
}

int StopSignals::received() const { return received_signal; }

}  // namespace quorvel::cli
