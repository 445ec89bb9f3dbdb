// Many small independent tasks (reading headers while a run is planned) spread over a few
// threads when there are enough of them to pay off.
#pragma once

#include <cstddef>
#include <functional>

namespace quorvel {

// Tasks below this count run on the calling thread alone.
inline constexpr std::size_t kTasksPerParallelThread = 256;

// Calls `fn(i)` for every i below `count`, on up to `workers` threads sharing the indexes, in
// no particular order. `fn` should catch what concerns one task itself; anything it lets escape
// stops the remaining tasks and is rethrown here once every thread has stopped, so no exception
// ever ends the program from a helper thread.
void ForEachInParallel(std::size_t count, int workers, const std::function<void(std::size_t)>& fn);

}  // namespace quorvel
