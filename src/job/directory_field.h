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
  // Creates the directory with its parents; 0 or an errno.
  std::function<int(const std::string& path)> create;
};

// Returns the normalised text; asks `ask` when the directory does not exist and creates it,
// parents included, on Yes. Throws Error naming the directory and the cause when that fails.
std::string NormalizeDirectoryField(const std::string& text, PathStyle style,
                                    const DirectoryOps& ops, const Question& ask);

// Creates `path` with its parents; throws the same Error as NormalizeDirectoryField when that
// fails.
void CreateDirectoriesOrThrow(const std::string& path);

}  // namespace quorvel
