// One index page being written: lines collected in memory, written to a temporary file and
// renamed into place when the page is closed, so a stopped or failed run never leaves a
// half-written page over a good one.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

class IndexPage {
 public:
  void Open(std::string path);
  bool is_open() const { return open_; }
  const std::string& path() const { return path_; }
  // Appends one line; CR LF is added.
  void WriteLine(const std::string& line);
  void WriteLines(const std::vector<std::string>& lines);
  // Writes the file unless it is already there byte for byte; returns whether it wrote it.
  // Throws Error("Cannot create file %s (reason)") when it cannot be written.
  bool Close();
  // Forgets the page without writing it.
  void Discard();

 private:
  std::string path_;
  std::string text_;
  bool open_ = false;
};

}  // namespace quorvel
