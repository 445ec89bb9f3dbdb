#include "job/output_names.h"

#include "job/path_names.h"
#include "job/tidy_path.h"

namespace quorvel {

std::string ThumbnailNameWithBase(std::string_view mask, std::string_view base,
                                  std::string_view fileName) {
  std::string result;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '%') {
      result += mask[i];
      continue;
    }
    if (i + 1 >= mask.size()) break;
    const char code = mask[++i];
    if (code == '%') result += '%';
    if (code == 'f') result += base;
  }
  return result + Extension(fileName);
}

std::string ThumbnailFileName(std::string_view mask, std::string_view fileName, PathStyle style) {
  return ThumbnailNameWithBase(mask, BaseName(fileName, style), FileNamePart(fileName, style));
}

bool MaskHasPlaceholder(std::string_view mask, char code) {
  for (std::size_t i = 0; i + 1 < mask.size(); ++i) {
    if (mask[i] != '%') continue;
    const char next = mask[++i];
    if (next == code) return true;
    const bool digit = next >= '0' && next <= '9';
    if (code == 'n' && digit && i + 1 < mask.size() && mask[i + 1] == 'n') return true;
  }
  return false;
}

std::string ExpandPageMask(std::string_view mask, int n, std::string_view directoryName) {
  std::string result;
  const std::string number = std::to_string(n);
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '%') {
      result += mask[i];
      continue;
    }
    if (i + 1 >= mask.size()) break;
    const char code = mask[++i];
    if (code == '%') {
      result += '%';
    } else if (code == 'n') {
      result += number;
    } else if (code == 'd') {
      result += directoryName;
    } else if (code >= '0' && code <= '9') {
      if (i + 1 < mask.size() && mask[i + 1] == 'n') {
        ++i;
        const std::size_t width = static_cast<std::size_t>(code - '0');
        if (number.size() < width) result.append(width - number.size(), '0');
        result += number;
      }
    }
  }
  return result;
}

bool PageNamesUseMask(const OutputSettings& output) {
  return output.SeparateHTML && (output.SplitHTML || output.NewHTMLForEachDirectory);
}

std::string PageFileName(const OutputSettings& output, std::string_view currentDirectory, int n,
                         PathStyle style) {
  if (PageNamesUseMask(output)) {
    const std::string_view base =
        output.HTMLIntoImageDirectory ? currentDirectory : std::string_view(output.HTMLDirectory);
    return JoinPath(
        base, ExpandPageMask(output.HTMLFileMask, n, LastPathComponent(currentDirectory, style)),
        style);
  }
  if (output.HTMLIntoImageDirectory) return JoinPath(currentDirectory, output.HTMLFileName, style);
  return output.HTMLDirectory + output.HTMLFileName;
}

std::string ThumbnailDirectoryFor(const OutputSettings& output, std::string_view currentDirectory,
                                  PathStyle style) {
  if (output.ThumbnailsIntoImageDirectory) {
    const std::string dir = JoinPath(currentDirectory, output.ThumbnailDirectoryName, style);
    // A name such as "." or "../thumbs" is spelt the one way the other directories are.
    return style == PathStyle::Posix && dir.front() == '/' ? TidyPath(dir, "") : dir;
  }
  return output.AllThumbnailsDirectory;
}

std::string PhotosDirectoryFor(const OutputSettings& output, std::string_view currentDirectory,
                               PathStyle style) {
  const std::string_view pages =
      output.HTMLIntoImageDirectory ? currentDirectory : std::string_view(output.HTMLDirectory);
  return JoinPath(pages, "photos", style);
}

std::string DoubleThumbnailName(std::string_view thumbnailName) {
  return StemBeforeLastDot(thumbnailName) + "@2x" + Extension(thumbnailName);
}

std::string PicturePageName(std::string_view currentDirectory, std::string_view baseName,
                            PathStyle style) {
  return JoinPath(currentDirectory, std::string(baseName) + ".html", style);
}

}  // namespace quorvel
