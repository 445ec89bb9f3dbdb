#include "imaging/decode_limits.h"

#include <algorithm>

namespace quorvel::imaging {

int WorkersWithinMemory(int threads, std::uint64_t memory, std::uint64_t budget) {
  const std::uint64_t fitting = memory / 2 / std::max<std::uint64_t>(1, budget);
  return static_cast<int>(std::clamp<std::uint64_t>(fitting, 1, std::max(1, threads)));
}

Error OverBudgetError(const std::string& name, std::uint64_t needed, const std::string& kind,
                      long long width, long long height, std::uint64_t budget) {
  const auto megabytes = [](std::uint64_t bytes) {
    return std::to_string((bytes + 999999) / 1000000) + " MB";
  };
  return Error(name + " needs " + megabytes(needed) + " to decode (" + kind + ", " +
               std::to_string(width) + " x " + std::to_string(height) + "), more than the " +
               megabytes(budget) + " a worker may use");
}

}  // namespace quorvel::imaging
