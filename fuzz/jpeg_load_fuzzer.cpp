// libFuzzer main of the jpeg_load target.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quorvel::fuzz::LoadJpeg(data, size);
  return 0;
}
