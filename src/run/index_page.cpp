#include "run/index_page.h"

#include "job/error.h"
#include "platform/file_system.h"

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

void IndexPage::Close() {
  open_ = false;
  const int error = platform::WriteFileAtomically(path_, text_);
  text_.clear();
  if (error != 0) {
    throw Error(FormatMessage("Cannot create file %s", path_) + " (" + platform::ErrorText(error) +
                ")");
  }
}

void IndexPage::Discard() {
  open_ = false;
  text_.clear();
}

}  // namespace quorvel
