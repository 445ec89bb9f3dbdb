// Expected output kept as data: pages, picture pages, state and configuration files live under
// tests/data/ and are compared byte for byte. Run a test with QUORVEL_UPDATE_GOLDEN=1 to write
// what the code produces into the golden file instead (then read the diff before committing).
#pragma once

#include <string>

namespace quorvel::testing {

// Full path of tests/data/<relative>.
std::string GoldenPath(const std::string& relative);

// Empty when `actual` equals the golden file byte for byte; otherwise a description of the
// first line that differs (line endings shown as \r and \n). Use as
//   EXPECT_EQ(CompareWithGolden(page, "html/frame_default.html"), "");
std::string CompareWithGolden(const std::string& actual, const std::string& relative);

// `text` with every `tmp` written as "$TMP": a temporary directory's name is no golden data.
std::string WithTmp(std::string text, const std::string& tmp);

}  // namespace quorvel::testing
