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

bool IndexPage::Close() {
  open_ = false;
  // A page already there byte for byte is left alone: a second run over an unchanged library
  // rewrites no page.
  std::string existing;
  if (platform::FileSize(path_) == text_.size() && platform::ReadWholeFile(path_, existing) == 0 &&
      existing == text_) {
    text_.clear();
    return false;
  }
  const int error = platform::WriteFileAtomically(path_, text_);
  text_.clear();
  if (error != 0) {
    throw Error(FileErrorMessage("Cannot create file %s", path_, error));
  }
  return true;
}

void IndexPage::Discard() {
  open_ = false;
  text_.clear();
}

}  // namespace quorvel
