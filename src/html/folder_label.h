// The label that tells where a folder's photos start on an index page holding several folders:
// it opens the first cell of each folder, and the first cell of a page that starts inside one.
#pragma once

#include <string>

namespace quorvel::html {

// `<div class="folder">NAME</div>`, the name escaped and "<wbr>" after each "/" or "\", so a
// long path wraps between its folders. It goes inside the cell before the link.
// Its look (bold, underlined by a rule in the text colour) comes from the phone style sheet.
std::string FolderLabel(const std::string& folderName);

}  // namespace quorvel::html
