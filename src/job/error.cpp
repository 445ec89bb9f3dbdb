#include "job/error.h"

#include "platform/file_system.h"

namespace quorvel {

std::string MessageWithDetail(const Error& error) {
  const std::string message = error.what();
  return error.detail().empty() ? message : message + " (" + error.detail() + ")";
}

std::string FormatMessage(const std::string& pattern, const std::string& value) {
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] == '%' && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
      return pattern.substr(0, i) + value + pattern.substr(i + 2);
    }
  }
  return pattern;
}

std::string FileErrorMessage(const std::string& pattern, const std::string& path, int error) {
  return FormatMessage(pattern, path) + " (" + platform::ErrorText(error) + ")";
}

}  // namespace quorvel
