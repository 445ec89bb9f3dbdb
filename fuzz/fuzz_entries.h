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

// A source JPEG: decoded (with its Exif and ICC blocks, or refused leaving the bitmap), resampled
// by both resamplers alike, and made into exact and fast thumbnails that decode at their size.
void LoadJpeg(const std::uint8_t* data, std::size_t size);
// A state file, loaded from a file over the defaults: it must save and load as itself and give
// page frames, tags, captions and output names without failing.
void LoadStateFile(const std::uint8_t* data, std::size_t size);
// A configuration file: every key is read; writing two keys keeps every other value as it was
// and reads back what was written.
void ReadConfigFile(const std::uint8_t* data, std::size_t size);

struct Target {
  const char* name;  // the fuzzer's name and the corpus directory's
  void (*entry)(const std::uint8_t*, std::size_t);
};
inline constexpr Target kTargets[] = {
    {"jpeg_load", LoadJpeg}, {"state_file", LoadStateFile}, {"config_file", ReadConfigFile}};

// Small inputs of a target, made with the tests' own helpers and the program's encoders, by
// name: the fuzzers start from them and the replay test runs them too.
std::vector<std::pair<std::string, std::string>> SeedInputs(const std::string& target);

}  // namespace quorvel::fuzz
