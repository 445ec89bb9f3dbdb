// Expected output kept as data: pages, picture pages, state and configuration files live under
// tests/data/ and are compared byte for byte. Run a test with QUORVEL_UPDATE_GOLDEN=1 to write
// what the code produces into the golden file instead (then read the diff before committing).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::testing {

// Full path of tests/data/<relative>.
std::string GoldenPath(const std::string& relative);

// Empty when `actual` equals the golden file byte for byte; otherwise the first line that
// differs.
std::string CompareWithGolden(const std::string& actual, const std::string& relative);

// A step of a transcript, "> COMMAND REST": the line as written, its first word, and the rest
// whole and as words, with "\xNN" standing for a byte; `heading`: the last "==" line before it.
struct TranscriptStep {
  std::string line, command, rest, heading;
  std::vector<std::string> words;
};

// Replays the golden transcript `relative`: each line "> STEP" is kept and followed by what
// `step` gives (a newline added where it lacks one); every line but those and the "=="
// headings is what the steps gave before, written anew. Compares as CompareWithGolden does.
std::string ReplayGolden(const std::string& relative,
                         const std::function<std::string(const TranscriptStep&)>& step);

// `text` with every `tmp` written as "$TMP": a temporary directory's name is no golden data.
std::string WithTmp(std::string text, const std::string& tmp);

// "\xNN" in `text` stands for that byte.
std::string Unescaped(const std::string& text);

// `text` with each byte other than printable ASCII written as "\xNN".
std::string Visible(std::string_view text);

}  // namespace quorvel::testing
