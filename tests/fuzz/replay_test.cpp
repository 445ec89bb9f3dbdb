// Every input that once crashed, leaked or hung a fuzz target, every input kept for the paths it
// reaches, and every seed, run again through the same entry on each test run.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_entries.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using quorvel::fuzz::Target;

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, CorpusAndSeedsPassTheEntry) {
  auto inputs = quorvel::fuzz::SeedInputs(GetParam().name);
  ASSERT_FALSE(inputs.empty());
  const fs::path dir = fs::path(QUORVEL_FUZZ_CORPUS) / GetParam().name;
  for (const auto& file : fs::directory_iterator(dir)) {
    inputs.emplace_back(file.path().filename(), quorvel::testing::ReadFile(file.path()));
  }
  EXPECT_GT(inputs.size(), quorvel::fuzz::SeedInputs(GetParam().name).size()) << "empty " << dir;
  for (const auto& [name, bytes] : inputs) {
    try {
      GetParam().entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    } catch (const std::exception& e) {
      ADD_FAILURE() << GetParam().name << "/" << name << " escaped: " << e.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(quorvel::fuzz::Targets()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
