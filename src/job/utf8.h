// Reading file names as UTF-8 one character at a time, telling apart the bytes that are not
// UTF-8, for whoever shows a name to a person (pages, the terminal).
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvel {

struct Utf8Char {
  char32_t code_point = 0;  // when valid
  std::size_t length = 1;   // bytes taken; 1 for a byte that is not UTF-8
  bool valid = false;
};

// The character that starts at `at` (< text.size()). Overlong forms, surrogates, code points
// above U+10FFFF and cut sequences are not valid: each of their bytes stands alone.
Utf8Char DecodeUtf8(std::string_view text, std::size_t at);

}  // namespace quorvel
