// libFuzzer main of the state_file target.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quorvel::fuzz::LoadStateFile(data, size);
  return 0;
}
