// What quorvel-batch prints of a name: control characters, bytes that are not UTF-8 and the
// backslash as escapes, everything else as it is.
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace quorvel::cli {
namespace {

TEST(TerminalTextTest, EscapesExactlyWhatATerminalWouldActOn) {
  const std::pair<std::string, std::string> cases[] = {
      {"photo.jpg", "photo.jpg"},
      {"esc\x1b]2;PWNED\x07\x1b[2J.jpg", "esc\\x1B]2;PWNED\\x07\\x1B[2J.jpg"},
      {"tab\tnl\ncr\r", "tab\\x09nl\\x0Acr\\x0D"},
      {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7F"},
      {"C1 \xC2\x9B"
       "31m \xC2\x85 \xC2\x9F",
       "C1 \\xC2\\x9B31m \\xC2\\x85 \\xC2\\x9F"},
      {"Caf\xC3\xA9 \xC2\xA0 \xE6\x97\xA5 \xF0\x9F\x93\xB7",
       "Caf\xC3\xA9 \xC2\xA0 \xE6\x97\xA5 \xF0\x9F\x93\xB7"},
      {"latin1 \xE9 \x9B"
       "2J",
       "latin1 \\xE9 \\x9B2J"},
      {"cut \xE2\x82", "cut \\xE2\\x82"},
      {"back\\slash \\x1B", "back\\\\slash \\\\x1B"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(TerminalText(text), shown) << text;
}

TEST(TerminalTextTest, LinesKeepTheirEnds) {
  EXPECT_EQ(TerminalLines("a\x1b\nb\n\nc"), "a\\x1B\nb\n\nc");
  EXPECT_EQ(TerminalLines(""), "");
}

}  // namespace
}  // namespace quorvel::cli
