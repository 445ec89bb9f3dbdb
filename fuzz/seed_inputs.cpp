// Seeds of the fuzz targets: JPEGs made with the tests' writer, the tests' state and
// configuration files.
#include <filesystem>

#include "fuzz_entries.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::fuzz {
namespace {

using Seeds = std::vector<std::pair<std::string, std::string>>;
using testing::TestJpegOptions;

Seeds JpegSeeds() {
  const std::pair<const char*, TestJpegOptions> jpegs[] = {
      {"rgb_16x12.jpg", {}},
      {"gray_16x12.jpg", {.components = 1}},
      {"cmyk_16x12.jpg", {.components = 4}},
      {"progressive_24x16.jpg", {.width = 24, .height = 16, .progressive = true}},
      {"one_pixel.jpg", {.width = 1, .height = 1}},
      {"elongated_300x3.jpg", {.width = 300, .height = 3, .quality = 50}},
      {"exif_orientation_6.jpg",
       {.width = 20, .height = 10, .exif = testing::ExifWithOrientation(6)}},
      {"exif_orientation_8_big_endian.jpg",
       {.width = 10, .height = 20, .exif = testing::ExifWithOrientation(8, true)}},
      {"icc_profile.jpg", {.width = 8, .height = 8, .icc = testing::TestIccProfile(300)}}};
  Seeds seeds;
  for (const auto& [name, options] : jpegs) seeds.emplace_back(name, EncodeTestJpeg(options));
  return seeds;
}

// The state and configuration files among the tests' data, and each state file once more with
// another version byte and bytes after its values.
Seeds PersistSeeds(const std::string& extension) {
  Seeds seeds;
  for (const auto& file : std::filesystem::directory_iterator(testing::GoldenPath("persist"))) {
    if (file.path().extension() != extension) continue;
    const std::string bytes = testing::ReadFile(file.path());
    seeds.emplace_back(file.path().filename(), bytes);
    if (extension != ".qvl" || bytes.size() < 17) continue;
    seeds.emplace_back("version_2_" + file.path().filename().string(), bytes + "more");
    seeds.back().second[16] = '\x02';
  }
  return seeds;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> SeedInputs(const std::string& target) {
  if (target == "jpeg_load") return JpegSeeds();
  if (target == "state_file") return PersistSeeds(".qvl");
  if (target == "config_file") return PersistSeeds(".cfg");
  return {};
}

}  // namespace quorvel::fuzz
