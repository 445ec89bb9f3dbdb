#include "html/folder_label.h"

#include "html/escaping.h"

namespace quorvel::html {

std::string FolderLabel(const std::string& folderName) {
  return "<div class=\"folder\">" + EscapeHtmlText(folderName) + "</div>";
}

}  // namespace quorvel::html
