#include "support/golden.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quorvel::testing {
namespace {

// One line of `text` from `start`, its ending included.
std::string LineAt(const std::string& text, std::size_t start) {
  if (start >= text.size()) return "(end of file)";
  const std::size_t end = text.find('\n', start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
}

std::string Visible(const std::string& line) {
  std::string out;
  for (char c : line) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out;
}

}  // namespace

std::string GoldenPath(const std::string& relative) {
  return std::string(QUORVEL_TEST_DATA_DIR) + "/" + relative;
}

std::string CompareWithGolden(const std::string& actual, const std::string& relative) {
  const std::string path = GoldenPath(relative);
  if (const char* update = std::getenv("QUORVEL_UPDATE_GOLDEN"); update && *update == '1') {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << actual;
    return {};
  }
  if (!std::filesystem::exists(path)) return path + ": no such golden file";
  const std::string expected = ReadFile(path);
  if (actual == expected) return {};
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const std::size_t line_start = expected.rfind('\n', at == 0 ? 0 : at - 1);
  const std::size_t start = line_start == std::string::npos || at == 0 ? 0 : line_start + 1;
  const long line = 1 + std::count(expected.begin(), expected.begin() + start, '\n');
  return path + ": first difference in line " + std::to_string(line) +
         "\n  expected: " + Visible(LineAt(expected, start)) +
         "\n  actual:   " + Visible(LineAt(actual, start));
}

std::string WithTmp(std::string text, const std::string& tmp) {
  for (std::size_t at = 0; (at = text.find(tmp, at)) != std::string::npos;) {
    text.replace(at, tmp.size(), "$TMP");
  }
  return text;
}

}  // namespace quorvel::testing
