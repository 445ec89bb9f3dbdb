// Small helpers shared by the persistence tests.
#pragma once

#include <string>

#include "job/error.h"

namespace quorvel::persist {

// The message of the Error that `action` throws, with `path` written as "PATH"; "(no error)"
// when it throws none.
template <typename Action>
std::string ErrorOf(Action action, const std::string& path = "") {
  try {
    action();
  } catch (const Error& e) {
    std::string message = e.what();
    const auto at = path.empty() ? std::string::npos : message.find(path);
    return at == std::string::npos ? message : message.replace(at, path.size(), "PATH");
  }
  return "(no error)";
}

}  // namespace quorvel::persist
