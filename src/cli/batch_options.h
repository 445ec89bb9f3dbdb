// The command line of quorvel-batch, parsed into one plain value.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "run/generation_run.h"

namespace quorvel::cli {

struct BatchOptions {
  std::vector<std::string> directories;
  // -o: the HTML directory, with the thumbnails in its "thumbs" unless thumb_dir says otherwise;
  // both created with their parents.
  std::optional<std::string> output_dir;
  std::optional<std::string> html_dir;
  std::optional<std::string> thumb_dir;
  bool recursive = false;
  std::vector<std::pair<std::string, std::string>> sets;  // --set Field=Value, in order
  bool web = false;  // the web-ready set, before the --set options apply
  bool create_dirs = false;
  bool quiet = false;
  std::optional<std::string> state_file;
  std::optional<std::string> save_state_file;
  std::optional<std::string> demo_dir;
  ImagingOptions imaging;
};

enum class ParseOutcome { Run, Exit };

struct ParseResult {
  ParseOutcome outcome = ParseOutcome::Run;
  int exit_code = 0;
  std::string message;  // help, version or the error, for the caller to print
  BatchOptions options;
};

ParseResult ParseBatchOptions(int argc, const char* const* argv);

}  // namespace quorvel::cli
