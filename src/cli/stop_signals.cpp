#include "cli/stop_signals.h"

#include <csignal>

namespace quorvel::cli {
namespace {

static_assert(std::atomic<bool>::is_always_lock_free);

// Written only by the handler, read by the run's loop between images.
volatile std::sig_atomic_t received_signal = 0;
// Set before the handler is installed and cleared after it is removed.
std::atomic<bool>* stop_flag = nullptr;
struct sigaction previous_int {};
struct sigaction previous_term {};

void Remember(int signal) {
  received_signal = signal;
  if (stop_flag != nullptr) stop_flag->store(true);
}

}  // namespace

StopSignals::StopSignals(std::atomic<bool>* stop) {
  received_signal = 0;
  stop_flag = stop;
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
  stop_flag = nullptr;
}

int StopSignals::received() const { return received_signal; }

}  // namespace quorvel::cli
