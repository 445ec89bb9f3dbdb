// Writing a page's text to its file unless the file already holds it, so that a second run over
// an unchanged library rewrites no page and leaves every page's time as it was.
#pragma once

#include <string>

namespace quorvel {

// Writes `text` to `path` through a temporary file unless the file is already `text` byte for
// byte; returns whether it wrote. Throws Error("Cannot create file %s (reason)").
bool WritePageUnlessSame(const std::string& path, const std::string& text);

}  // namespace quorvel
