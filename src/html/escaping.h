// File names are data, not HTML: links are percent-encoded and texts entity-escaped, so a name
// with quotes, "<", "#", "?", "%", ":" or "\" can neither inject markup nor point elsewhere, and
// a name's letters read the same whatever character set a browser assumes for the page.
#pragma once

#include <string>
#include <string_view>

#include "job/path_style.h"

namespace quorvel::html {

// Percent-encodes every byte of a relative link outside the unreserved characters, the
// separators of `style` and the sub-delimiters that are safe in a quoted path; non-ASCII bytes
// too. A ":" in the first segment is encoded as well, so that no name ("javascript:...",
// "a:b.jpg") is read as a scheme; in Windows style a leading drive ("C:\") stays. In POSIX style
// "\" is part of a name and is encoded.
std::string EncodeUrlPath(std::string_view path, PathStyle style);

// "&", "<", ">" and '"' as entities; every character outside ASCII as a decimal character
// reference. Bytes that are not UTF-8 are read as Windows-1252 (the code page such names were
// mostly written in), its five unassigned bytes as U+FFFD.
std::string EscapeHtmlText(std::string_view text);

}  // namespace quorvel::html
