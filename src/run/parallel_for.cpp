#include "run/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvel {

void ForEachInParallel(std::size_t count, int workers, const std::function<void(std::size_t)>& fn) {
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::exception_ptr escaped;
  const auto work = [&] {
    try {
      for (std::size_t i; (i = next.fetch_add(1)) < count;) fn(i);
    } catch (...) {
      next.store(count);
      const std::lock_guard lock(mutex);
      if (!escaped) escaped = std::current_exception();
    }
  };
  const std::size_t threads = std::clamp<std::size_t>(
      count / kTasksPerParallelThread, 1, static_cast<std::size_t>(std::max(1, workers)));
  std::vector<std::thread> started;
  for (std::size_t t = 1; t < threads; ++t) started.emplace_back(work);
  work();
  for (std::thread& t : started) t.join();
  if (escaped) std::rethrow_exception(escaped);
}

}  // namespace quorvel
