#include "cli/stop_signals.h"

#include <csignal>

namespace quorvel::cli {
namespace {

// The handler may run on any thread of the process (a worker's too), so what it writes is
// atomic, and lock-free so that writing it is safe in a handler.
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free);

// Written only by the handler, read by the run's loop between images.
std::atomic<int> received_signal{0};
// Set before the handler is installed and cleared after it is removed.
std::atomic<std::atomic<bool>*> stop_flag{nullptr};
struct sigaction previous_int {};
struct sigaction previous_term {};

void Remember(int signal) {
  received_signal.store(signal);
  if (std::atomic<bool>* stop = stop_flag.load(); stop != nullptr) stop->store(true);
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

int StopSignals::received() const { return received_signal.load(); }

}  // namespace quorvel::cli
