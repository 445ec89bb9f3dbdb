// Separator styles for the pure path functions: Windows ("\" written, "/" also read, drive
// prefix such as "C:") and POSIX ("/", the root has an empty drive part).
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

enum class PathStyle { Windows, Posix };

// The style of the machine the program runs on; links in pages use it too.
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;

inline char Separator(PathStyle style) { return style == PathStyle::Windows ? '\\' : '/'; }

inline bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::Windows && c == '\\');
}

inline bool EndsWithSeparator(std::string_view path, PathStyle style) {
  return !path.empty() && IsSeparator(path.back(), style);
}

// Index of the last separator, or npos.
std::size_t LastSeparator(std::string_view path, PathStyle style);

// The file name part: the text after the last separator (and, in Windows style, after a
// drive colon).
std::string FileNamePart(std::string_view path, PathStyle style);

// The directory part, without the trailing separator, except for a root ("C:\", "/") which
// keeps it.
std::string DirectoryPart(std::string_view path, PathStyle style);

// `dir` + one separator (unless it already ends with one) + `name`.
std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style);

// `dir` with one separator appended unless it ends with one; an empty text stays empty.
std::string WithTrailingSeparator(std::string_view dir, PathStyle style);

}  // namespace quorvel
