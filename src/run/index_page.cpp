#include "run/index_page.h"

#include "run/page_file.h"

namespace quorvel {

void IndexPage::Open(std::string path) {
  path_ = std::move(path);
  text_.clear();
  open_ = true;
}

void IndexPage::WriteLine(const std::string& line) {
  text_ += line;
  text_ += "\r\n";
}

void IndexPage::WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) WriteLine(line);
}

bool IndexPage::Close() {
  open_ = false;
  const std::string text = std::move(text_);
  text_.clear();
  return WritePageUnlessSame(path_, text);
}

void IndexPage::Discard() {
  open_ = false;
  text_.clear();
}

}  // namespace quorvel
