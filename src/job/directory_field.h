// Normalising the two output directory fields: a trailing separator, and a missing
// directory offered for creation through a question the caller answers (a message box in
// the window, a command-line flag in quorvel-batch).
#pragma once

#include <functional>
#include <string>

#include "job/path_style.h"

namespace quorvel {

// Answers a Yes/No question; true is Yes.
using Question = std::function<bool(const std::string& message)>;

struct DirectoryOps {
  std::function<bool(const std::string& path)> exists;
  std::function<bool(const std::string& path)> create_one_level;
};

// The text of the question asked for a missing directory.
std::string MissingDirectoryQuestion(const std::string& path);

// Returns the normalised text; asks `ask` when the directory does not exist and creates it
// (one level) on Yes. A failure to create it is not reported here.
std::string NormalizeDirectoryField(const std::string& text, PathStyle style,
                                    const DirectoryOps& ops, const Question& ask);

}  // namespace quorvel
