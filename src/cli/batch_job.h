// What quorvel-batch does with its parsed options: settings from a state file and --set,
// the directory list, then the same run as the window's GO!.
#pragma once

#include <cstdio>

#include "cli/batch_options.h"

namespace quorvel::cli {

// Exit status: 0 every image done, 1 the gallery written but something failed, 2 the run
// could not start.
int RunBatchJob(const BatchOptions& options, std::FILE* out, std::FILE* err);

}  // namespace quorvel::cli
