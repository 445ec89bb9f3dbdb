#include "job/tidy_path.h"

#include <vector>

namespace quorvel {
namespace {

void AppendPieces(std::string_view path, std::vector<std::string_view>& pieces) {
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view piece = path.substr(pos, end - pos);
    if (piece == "..") {
      if (!pieces.empty()) pieces.pop_back();
    } else if (!piece.empty() && piece != ".") {
      pieces.push_back(piece);
    }
    pos = end + 1;
  }
}

}  // namespace

std::string TidyPath(std::string_view path, std::string_view workingDirectory) {
  if (path.empty()) return {};
  std::vector<std::string_view> pieces;
  if (path.front() != '/') AppendPieces(workingDirectory, pieces);
  AppendPieces(path, pieces);
  std::string tidy;
  for (const std::string_view piece : pieces) {
    tidy += '/';
    tidy += piece;
  }
  return tidy.empty() ? "/" : tidy;
}

namespace {

// TidyPath with one trailing "/", as the two output directory settings hold it.
std::string TidyDirectorySetting(std::string_view path, std::string_view workingDirectory) {
  std::string tidy = TidyPath(path, workingDirectory);
  if (!tidy.empty() && tidy.back() != '/') tidy += '/';
  return tidy;
}

}  // namespace

void TidyOutputDirectories(OutputSettings& output, std::string_view workingDirectory) {
  output.HTMLDirectory = TidyDirectorySetting(output.HTMLDirectory, workingDirectory);
  output.AllThumbnailsDirectory =
      TidyDirectorySetting(output.AllThumbnailsDirectory, workingDirectory);
  for (std::string& dir : output.Directories) dir = TidyPath(dir, workingDirectory);
}

}  // namespace quorvel
