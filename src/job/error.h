// The one error type of the project: a failure carrying the exact message the user sees.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace quorvel {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, std::string detail = {})
      : std::runtime_error(message), detail_(std::move(detail)) {}
  // What a library said about the failure in its own words (libjpeg's message for a
  // "JPEG error #%d"), for a report that adds it to the message; usually empty.
  const std::string& detail() const { return detail_; }

 private:
  std::string detail_;
};

// The message, followed by the detail in brackets when there is one:
// "JPEG error #53 (Not a JPEG file: starts with 0x6e 0x6f)".
std::string MessageWithDetail(const Error& error);

// Replaces the first "%s" (or "%d") of `pattern` by `value`; the message texts of the
// system are written with printf-style placeholders.
std::string FormatMessage(const std::string& pattern, const std::string& value);

// `pattern` with the path, followed by the system's reason for the errno in brackets:
// "Cannot create file web/index.html (Permission denied)".
std::string FileErrorMessage(const std::string& pattern, const std::string& path, int error);

}  // namespace quorvel
