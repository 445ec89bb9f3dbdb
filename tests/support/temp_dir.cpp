#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorvel::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& relative) const { return path_ + "/" + relative; }

std::string TempDir::mkdir(const std::string& relative) const {
  std::filesystem::create_directories(file(relative));
  return file(relative);
}

std::string TempDir::write(const std::string& relative, const std::string& bytes) const {
  const std::string full = file(relative);
  std::filesystem::create_directories(std::filesystem::path(full).parent_path());
  std::ofstream(full, std::ios::binary) << bytes;
  return full;
}

std::string ReadFile(const std::string& path) {
  std::ostringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

std::map<std::string, std::string> Files(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) {
      files[std::filesystem::relative(e.path(), root).string()] = ReadFile(e.path().string());
    }
  }
  return files;
}

}  // namespace quorvel::testing
