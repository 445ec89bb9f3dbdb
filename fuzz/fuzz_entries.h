// The fuzz entries of the libFuzzer executables and the corpus replay: a refusal the program
// reports (quorvel::Error) is expected; a broken invariant or any other exception escapes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvel::fuzz {

struct Target {
  const char* name;  // the fuzzer's name and its corpus directory's
  void (*entry)(const std::uint8_t* data, std::size_t size);
};

// jpeg_load, heif_load, png_load, webp_load, state_file and config_file.
std::span<const Target> Targets();

}  // namespace quorvel::fuzz
