#include "run/page_writer.h"

namespace quorvel {

void PageWriter::Open(const std::string& path, const PageParts& parts,
                      const std::string& navigatorLine) {
  page_.Open(path);
  page_.WriteLine("");
  page_.WriteLines(parts.header);
  if (!navigatorLine.empty()) {
    page_.WriteLine(navigatorLine);
    page_.WriteLine("");
  }
  page_.WriteLine(parts.table_open_tag);
  row_.clear();
  row_number_ = -1;
}

void PageWriter::AddCell(int position, int cellsPerRow, const std::string& cell) {
  const int row = position / cellsPerRow;
  if (row != row_number_) {
    FlushRow();
    row_number_ = row;
  }
  row_ += cell;
}

void PageWriter::FlushRow() {
  if (!row_.empty()) {
    page_.WriteLine("<tr>");
    page_.WriteLine(row_);
    page_.WriteLine("</tr>");
  }
  row_.clear();
}

bool PageWriter::Close(const PageParts& parts) {
  FlushRow();
  page_.WriteLine(parts.table_close_line);
  page_.WriteLine("");
  page_.WriteLines(parts.footer);
  return page_.Close();
}

void PageWriter::Discard() {
  page_.Discard();
  row_.clear();
}

}  // namespace quorvel
