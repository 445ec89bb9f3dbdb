#include "support/golden.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quorvel::testing {
namespace {

// The line of `text` from `start`, its ending shown as \r and \n.
std::string VisibleLine(const std::string& text, std::size_t start) {
  if (start >= text.size()) return "(end of file)";
  std::string out;
  for (std::size_t i = start; i < text.size() && (i == start || text[i - 1] != '\n'); ++i) {
    out += text[i] == '\r' ? "\\r" : text[i] == '\n' ? "\\n" : std::string(1, text[i]);
  }
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
  std::size_t start = 0;  // of the line where they part
  for (std::size_t i = 0; i < actual.size() && i < expected.size() && actual[i] == expected[i];
       ++i) {
    if (actual[i] == '\n') start = i + 1;
  }
  const long line = 1 + std::count(expected.begin(), expected.begin() + start, '\n');
  return path + ": first difference in line " + std::to_string(line) +
         "\n  expected: " + VisibleLine(expected, start) +
         "\n  actual:   " + VisibleLine(actual, start);
}

std::string WithTmp(std::string text, const std::string& tmp) {
  for (std::size_t at = 0; (at = text.find(tmp, at)) != std::string::npos;) {
    text.replace(at, tmp.size(), "$TMP");
  }
  return text;
}

}  // namespace quorvel::testing
