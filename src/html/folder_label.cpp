#include "html/folder_label.h"

#include "html/escaping.h"

namespace quorvel::html {

std::string FolderLabel(const std::string& folderName) {
  std::string label;
  for (const char c : EscapeHtmlText(folderName)) {
    label += c;
    // A long path may wrap after a separator rather than inside a name.
    if (c == '/' || c == '\\') label += "<wbr>";
  }
  return "<div class=\"folder\">" + label + "</div>";
}

}  // namespace quorvel::html
