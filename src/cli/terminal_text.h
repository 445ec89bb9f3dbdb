// Names on the terminal: a file name may hold escape sequences that would retitle the window,
// clear the screen or hide what was printed, so whatever quorvel-batch prints passes here first.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::cli {

// `text` with every control character (C0, DEL, and C1 written as UTF-8), every byte that is not
// UTF-8 and the backslash written as "\xHH" escapes ("\\" for the backslash), so that what a
// terminal shows is the name and nothing else, and tells the escapes from the name's own text.
std::string TerminalText(std::string_view text);

// The same for each line of `text`, keeping its line ends.
std::string TerminalLines(std::string_view text);

}  // namespace quorvel::cli
