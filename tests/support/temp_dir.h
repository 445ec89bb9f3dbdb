// A temporary directory removed with everything in it when the test ends.
#pragma once

#include <map>
#include <string>

namespace quorvel::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& relative) const;
  // Creates the directory `relative` (and its parents) below path(); returns its full path.
  std::string mkdir(const std::string& relative) const;
  // Writes `bytes` to `relative`, creating parent directories; returns the full path.
  std::string write(const std::string& relative, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);

// Every regular file below `root` (links to directories not followed), by its path relative
// to `root`, with its bytes.
std::map<std::string, std::string> Files(const std::string& root);

}  // namespace quorvel::testing
