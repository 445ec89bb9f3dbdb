#include "support/golden.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace quorvel::testing {

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
  const auto line = [start](const std::string& text) {
    return start >= text.size() ? "(end of file)"
                                : Visible(text.substr(start, text.find('\n', start) + 1 - start));
  };
  return path + ": first difference in line " +
         std::to_string(1 + std::count(expected.begin(), expected.begin() + start, '\n')) +
         "\n  expected: " + line(expected) + "\n  actual:   " + line(actual);
}

std::string ReplayGolden(const std::string& relative,
                         const std::function<std::string(const TranscriptStep&)>& step) {
  std::istringstream in(ReadFile(GoldenPath(relative)));
  std::string out;
  TranscriptStep s;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("==")) out += (s.heading = line) + "\n";
    if (!line.starts_with("> ")) continue;
    s.line = line.substr(2);
    const std::size_t space = std::min(s.line.find(' '), s.line.size());
    s.command = s.line.substr(0, space);
    s.rest = Unescaped(s.line.substr(std::min(space + 1, s.line.size())));
    s.words.clear();
    std::istringstream words(s.line.substr(space));
    for (std::string word; words >> word;) s.words.push_back(Unescaped(word));
    const std::string result = step(s);
    out += line + "\n" + result + (result.empty() || result.ends_with('\n') ? "" : "\n");
  }
  return CompareWithGolden(out, relative);
}

std::string WithTmp(std::string text, const std::string& tmp) {
  for (std::size_t at = 0; (at = text.find(tmp, at)) != std::string::npos;) {
    text.replace(at, tmp.size(), "$TMP");
  }
  return text;
}

std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool escape = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size();
    out += escape ? static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16)) : text[i];
    i += escape ? 3 : 0;
  }
  return out;
}

std::string Visible(std::string_view text) {
  std::string out;
  for (const unsigned char c : text) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  return out;
}

}  // namespace quorvel::testing
