// The one error type of the project: a failure carrying the exact message the user sees.
#pragma once

#include <stdexcept>
#include <string>

namespace quorvel {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// Replaces the first "%s" (or "%d") of `pattern` by `value`; the message texts of the
// system are written with printf-style placeholders.
std::string FormatMessage(const std::string& pattern, const std::string& value);

}  // namespace quorvel
