// File names are data, not HTML: links are percent-encoded and texts entity-escaped, so a name
// with quotes, "<", "#", "?" or "%" can neither inject markup nor point elsewhere.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::html {

// Percent-encodes every byte of a link path outside the unreserved characters, the separators
// "/" and "\" and the sub-delimiters that are safe in a quoted path; non-ASCII bytes too.
std::string EncodeUrlPath(std::string_view path);

// "&", "<", ">" and '"' as entities.
std::string EscapeHtmlText(std::string_view text);

}  // namespace quorvel::html
