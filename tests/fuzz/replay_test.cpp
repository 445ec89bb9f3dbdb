// Every input in tests/fuzz-corpus, seeds ("seed-*") included, run again through its entry.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_entries.h"
#include "support/temp_dir.h"

namespace {

using quorvel::fuzz::Target;

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, CorpusPassesTheEntry) {
  int seeds = 0;
  for (const auto& file : std::filesystem::directory_iterator(std::string(QUORVEL_FUZZ_CORPUS) +
                                                              "/" + GetParam().name)) {
    const std::string bytes = quorvel::testing::ReadFile(file.path());
    seeds += file.path().filename().string().starts_with("seed-");
    try {
      GetParam().entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    } catch (const std::exception& e) {
      ADD_FAILURE() << file.path() << " escaped: " << e.what();
    }
  }
  EXPECT_GT(seeds, 0) << "no seeds for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(quorvel::fuzz::Targets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
