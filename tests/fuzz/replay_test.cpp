// Every input that once crashed, leaked or hung a fuzz target, and every seed, run again
// through the same entry on each test run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz_entries.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using quorvel::fuzz::Target;

void Replay(const Target& target, const std::string& name, const std::string& bytes) {
  SCOPED_TRACE(std::string(target.name) + "/" + name);
  try {
    target.entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  } catch (const std::exception& e) {
    ADD_FAILURE() << "escaped: " << e.what();
  }
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, RegressionInputsPassTheEntry) {
  const fs::path dir = fs::path(QUORVEL_FUZZ_CORPUS) / GetParam().name;
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    Replay(GetParam(), entry.path().filename().string(),
           quorvel::testing::ReadFile(entry.path().string()));
    ++count;
  }
  EXPECT_GT(count, 0) << "no regression inputs in " << dir;
}

TEST_P(FuzzReplay, SeedsPassTheEntry) {
  const auto seeds = quorvel::fuzz::SeedInputs(GetParam().name);
  ASSERT_FALSE(seeds.empty());
  for (const auto& [name, bytes] : seeds) Replay(GetParam(), name, bytes);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(quorvel::fuzz::kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
