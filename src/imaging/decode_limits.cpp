#include "imaging/decode_limits.h"

#include <algorithm>

namespace quorvel::imaging {

int WorkersWithinMemory(int threads, std::uint64_t memory, std::uint64_t budget) {
  const std::uint64_t fitting = memory / 2 / std::max<std::uint64_t>(1, budget);
  return static_cast<int>(std::clamp<std::uint64_t>(fitting, 1, std::max(1, threads)));
}

}  // namespace quorvel::imaging
