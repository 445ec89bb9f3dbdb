// The pace of a run as people read it, shared by the window's progress window and
// quorvel-batch's progress line.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel {

// "12.5 images/s" and "1:05 left" (hours as "1:02:05") after `done` of `total` images in
// `elapsed_ms`; both empty until a few images are done, when the rate still says little.
struct RunPace {
  std::string rate;
  std::string left;
};
RunPace PaceText(int done, int total, std::int64_t elapsed_ms);

}  // namespace quorvel
