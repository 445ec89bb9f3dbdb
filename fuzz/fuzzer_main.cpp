// libFuzzer main of the target QUORVEL_FUZZ_TARGET (set by CMake). At start it writes the
// target's seeds into the directory $QUORVEL_FUZZ_SEEDS, when set, for the fuzzer to start from.
#include <cstdlib>
#include <string_view>

#include "fuzz_entries.h"
#include "platform/file_system.h"

using namespace quorvel;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* dir = std::getenv("QUORVEL_FUZZ_SEEDS");
  for (const auto& [name, bytes] : fuzz::SeedInputs(QUORVEL_FUZZ_TARGET)) {
    if (dir && platform::WriteFileAtomically(std::string(dir) + "/" + name, bytes) != 0) {
      std::abort();
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (const fuzz::Target& target : fuzz::Targets()) {
    if (std::string_view(target.name) == QUORVEL_FUZZ_TARGET) target.entry(data, size);
  }
  return 0;
}
