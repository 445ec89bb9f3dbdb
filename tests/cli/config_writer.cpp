// A stand-in for the window's configuration writes, for the kill test: round n writes the five
// values of config_writer_values.h in a fixed order, for n = FIRST, FIRST + 1, ... through COUNT
// rounds or, with COUNT 0, until it is killed, so the test can tell which round each key saw last.
//
//   config_writer PATH FIRST COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/config_writer_values.h"
#include "job/error.h"
#include "persist/config_file.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: config_writer PATH FIRST COUNT\n");
    return 2;
  }
  quorvel::persist::ConfigFile config(argv[1]);
  const long long first = std::atoll(argv[2]);
  const long long count = std::atoll(argv[3]);
  try {
    for (long long n = first; count == 0 || n < first + count; ++n) {
      quorvel::testing::WriteConfigRound(config, n);
    }
  } catch (const quorvel::Error& e) {
    std::fprintf(stderr, "config_writer: %s\n", e.what());
    return 1;
  }
  return 0;
}
