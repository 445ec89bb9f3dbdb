#include "job/output_names.h"

#include "job/path_names.h"

namespace quorvel {

std::string ThumbnailFileName(std::string_view mask, std::string_view fileName, PathStyle style) {
  std::string result;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '%') {
      result += mask[i];
      continue;
    }
    if (i + 1 >= mask.size()) break;
    const char code = mask[++i];
    if (code == '%') result += '%';
    if (code == 'f') result += BaseName(fileName, style);
  }
  return result + Extension(FileNamePart(fileName, style));
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

std::string PageFileName(const OutputSettings& output, std::string_view currentDirectory, int n,
                         PathStyle style) {
  const bool masked = output.SeparateHTML && (output.SplitHTML || output.NewHTMLForEachDirectory);
  if (masked) {
    const std::string_view base =
        output.HTMLIntoImageDirectory ? currentDirectory : std::string_view(output.HTMLDirectory);
    return JoinPath(base,
                    ExpandPageMask(output.HTMLFileMask, n, LastPathComponent(currentDirectory, style)),
                    style);
  }
  if (output.HTMLIntoImageDirectory) return JoinPath(currentDirectory, output.HTMLFileName, style);
  return output.HTMLDirectory + output.HTMLFileName;
}

std::string ThumbnailDirectoryFor(const OutputSettings& output, std::string_view currentDirectory,
                                  PathStyle style) {
  if (output.ThumbnailsIntoImageDirectory) {
    return JoinPath(currentDirectory, output.ThumbnailDirectoryName, style);
  }
  return output.AllThumbnailsDirectory;
}

std::string PicturePageName(std::string_view currentDirectory, std::string_view baseName,
                            PathStyle style) {
  return JoinPath(currentDirectory, std::string(baseName) + ".html", style);
}

}  // namespace quorvel
