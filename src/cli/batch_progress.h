// Progress of a run on stderr: redrawn in place on a terminal, one line per image otherwise.
#pragma once

#include <cstdio>
#include <string>

namespace quorvel::cli {

class BatchProgress {
 public:
  BatchProgress(std::FILE* out, bool quiet, bool terminal);
  void Show(const std::string& title, const std::string& image);
  void Done();

 private:
  std::FILE* out_;
  bool quiet_;
  bool terminal_;
  bool drawn_ = false;
};

}  // namespace quorvel::cli
