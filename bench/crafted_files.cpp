// The crafted files of the reliability review, each in a folder of its own, for timing a real
// run over each one (see bench/README.md):
//   quorvel_crafted_files DIR     writes DIR/NAME/NAME.jpg for every crafted file
#include <cstdio>
#include <filesystem>

#include "platform/file_system.h"
#include "support/crafted_jpeg.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvel_crafted_files DIR\n");
    return 2;
  }
  for (const auto& [name, bytes] : quorvel::testing::CraftedReviewFiles()) {
    const std::filesystem::path folder =
        std::filesystem::path(argv[1]) / name.substr(0, name.size() - 4);
    std::filesystem::create_directories(folder);
    const std::string path = (folder / name).string();
    if (quorvel::platform::WriteFileAtomically(path, bytes) != 0) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
  }
  return 0;
}
