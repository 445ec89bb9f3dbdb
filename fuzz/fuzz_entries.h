// One entry per reader of outside bytes, shared by the libFuzzer executables and the replay
// test of the regression corpus. Each feeds the bytes through the reader as the program does;
// the refusals the program reports (quorvel::Error) are the expected outcome and are
// swallowed, while a broken invariant throws CheckFailure and anything else escapes too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quorvel::fuzz {

class CheckFailure : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Images decoded by the JPEG entry stay below this many pixels, so that each input is quick;
// the refusal above it is the same code as the program's own limit.
inline constexpr std::uint64_t kFuzzMaxPixels = 1u << 20;

// A source JPEG: decoded into the working bitmap (with its Exif and ICC blocks and the size
// refusal), then fitted, resampled, turned and encoded as a thumbnail, which must decode again.
void LoadJpeg(const std::uint8_t* data, std::size_t size);

// A state file: decoded over the defaults; a loaded one must encode and decode to itself and
// must give page frames, tags, captions and output names without failing.
void LoadStateFile(const std::uint8_t* data, std::size_t size);

// A configuration file: every key the program reads is read; writing two keys keeps every other
// value as it was and reads back what was written.
void ReadConfigFile(const std::uint8_t* data, std::size_t size);

struct Target {
  const char* name;  // the fuzzer's name and the corpus directory's
  void (*entry)(const std::uint8_t*, std::size_t);
};

inline constexpr Target kTargets[] = {
    {"jpeg_load", LoadJpeg}, {"state_file", LoadStateFile}, {"config_file", ReadConfigFile}};

// Small valid inputs of a target, made with the tests' own helpers: the fuzzers start from
// them and the replay test runs them too. Name and bytes.
std::vector<std::pair<std::string, std::string>> SeedInputs(const std::string& target);

}  // namespace quorvel::fuzz
