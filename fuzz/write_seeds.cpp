// Writes the seeds of one fuzz target into a directory: write_seeds TARGET DIR.
#include <cstdio>

#include "fuzz_entries.h"
#include "platform/file_system.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s TARGET DIR\n", argv[0]);
    return 2;
  }
  const auto seeds = quorvel::fuzz::SeedInputs(argv[1]);
  if (seeds.empty()) {
    std::fprintf(stderr, "no seeds for %s\n", argv[1]);
    return 2;
  }
  for (const auto& [name, bytes] : seeds) {
    const std::string path = std::string(argv[2]) + "/" + name;
    if (quorvel::platform::WriteFileAtomically(path, bytes) != 0) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
