// quorvel-batch: the gallery run of the window's GO!, without a window.
#include <cstdio>

#include "cli/batch_job.h"
#include "cli/batch_options.h"
#include "cli/terminal_text.h"

int main(int argc, char** argv) {
  const quorvel::cli::ParseResult parsed = quorvel::cli::ParseBatchOptions(argc, argv);
  if (parsed.outcome == quorvel::cli::ParseOutcome::Exit) {
    std::fputs(quorvel::cli::TerminalLines(parsed.message).c_str(),
               parsed.exit_code == 0 ? stdout : stderr);
    return parsed.exit_code;
  }
  return quorvel::cli::RunBatchJob(parsed.options, stdout, stderr);
}
