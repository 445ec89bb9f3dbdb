// The assembly of one index page at a time: its opening lines, rows of linked thumbnails and its
// closing lines, in the order a page is read.
#pragma once

#include <string>
#include <vector>

#include "run/index_page.h"

namespace quorvel {

// What every page of a run is made of besides its cells.
struct PageParts {
  std::vector<std::string> header;  // the page frame's header lines
  std::vector<std::string> footer;  // the page frame's footer lines
  std::string table_open_tag;
  std::string table_close_line;  // "</table>", with "</div>" when the table is aligned
};

class PageWriter {
 public:
  // Starts the page at `path`: an empty line, the header, the navigator line (when not empty)
  // followed by an empty line, and the table's opening tag.
  void Open(const std::string& path, const PageParts& parts, const std::string& navigatorLine);
  bool is_open() const { return page_.is_open(); }
  const std::string& path() const { return page_.path(); }
  // Appends the cell of the image at `position` on the page (from 0); a row holds
  // `cellsPerRow` positions, so the cell of an image that failed leaves its row short.
  void AddCell(int position, int cellsPerRow, const std::string& cell);
  // Writes the pending row, the table's close, an empty line and the footer, then the file
  // (unless it is already there byte for byte); returns whether the file was written.
  // Throws Error when it cannot be.
  bool Close(const PageParts& parts);
  // Forgets the page without writing it.
  void Discard();

 private:
  void FlushRow();

  IndexPage page_;
  std::string row_;
  int row_number_ = -1;  // of the pending row on the page
};

}  // namespace quorvel
