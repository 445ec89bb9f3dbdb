#include "run/run_pace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quorvel {
namespace {

constexpr int kFewImages = 3;

}  // namespace

RunPace PaceText(int done, int total, std::int64_t elapsed_ms) {
  if (done < kFewImages) return {};
  const double per_second =
      done * 1000.0 / static_cast<double>(std::max<std::int64_t>(elapsed_ms, 1));
  const auto seconds_left =
      static_cast<long long>(std::ceil(std::max(total - done, 0) / per_second));
  const long long hours = seconds_left / 3600;
  const long long minutes = seconds_left / 60 % 60;
  const long long seconds = seconds_left % 60;
  char clock[48];
  if (hours > 0) {
    std::snprintf(clock, sizeof clock, "%lld:%02lld:%02lld left", hours, minutes, seconds);
  } else {
    std::snprintf(clock, sizeof clock, "%lld:%02lld left", minutes, seconds);
  }
  char rate[48];
  std::snprintf(rate, sizeof rate, "%.*f images/s", per_second < 10 ? 1 : 0, per_second);
  return {rate, clock};
}

}  // namespace quorvel
