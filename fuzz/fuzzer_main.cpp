// libFuzzer main of QUORVEL_FUZZ_TARGET (set by CMake), seeded from tests/fuzz-corpus.
#include <string_view>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const quorvel::fuzz::Target& target : quorvel::fuzz::Targets()) {
    if (std::string_view(target.name) == QUORVEL_FUZZ_TARGET) target.entry(data, size);
  }
  return 0;
}
