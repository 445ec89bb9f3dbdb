// What one decode may cost. Photos come from anywhere, so a file is refused, with a message that
// names it, before it can take more time or memory than any real photo needs.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/icc_profile.h"
#include "job/error.h"

namespace quorvel::imaging {

// Larger pictures are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxSourcePixels = 400ull * 1000 * 1000;

// The memory one worker may use for a decode. Progressive and multi-scan files make libjpeg keep
// every DCT coefficient of the picture: 128 bytes per 8 x 8 block of each component, 3 bytes a
// pixel for 4:2:0 colour, 6 for 4:4:4. A 100-megapixel progressive photo takes 300 MB (4:2:0)
// to 600 MB (4:4:4); files that announce more are refused while their header is read.
inline constexpr std::uint64_t kWorkerMemoryBudget = 640ull * 1000 * 1000;

// Photos have one scan (baseline) or about ten (progressive); a few dozen is already rare. Each
// scan makes libjpeg pass over the coefficients of a whole component again.
inline constexpr int kMaxScans = 100;

struct DecodeLimits {
  std::uint64_t max_pixels = kMaxSourcePixels;
  std::uint64_t memory_budget = kWorkerMemoryBudget;
  int max_scans = kMaxScans;
  std::size_t max_profile_bytes = kMaxCarriedProfileBytes;
  // Watched while decoding: once true, the decode ends with an Error within moments (libjpeg's
  // progress monitor looks at it at least once per row of 8 x 8 blocks of every scan).
  const std::atomic<bool>* stop = nullptr;
};

// How many workers the machine's memory bears when each may take `budget`: half of `memory`
// (the rest is the system's and the other programs'), at least one and at most `threads`.
int WorkersWithinMemory(int threads, std::uint64_t memory,
                        std::uint64_t budget = kWorkerMemoryBudget);

// The refusal of a decode that would take more than `budget`: "NAME needs N MB to decode (KIND,
// W x H), more than the B MB a worker may use".
Error OverBudgetError(const std::string& name, std::uint64_t needed, const std::string& kind,
                      long long width, long long height, std::uint64_t budget);

}  // namespace quorvel::imaging
