// Shared by the imaging tests: random bitmaps, photo-like samples, the first difference between
// two bitmaps, and the rows of the tables kept in tests/data/imaging.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "imaging/fast_bmp.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::imaging::test {

// Samples are the generator's top bytes, so a seed gives the same picture with any library.
inline TFastBmp RandomBitmap(int width, int height, bool gray, std::mt19937& rng) {
  TFastBmp bmp(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto v = static_cast<std::uint8_t>(rng() >> 24);
      for (int c = 0; c < 3; ++c) {
        bmp.Row(y)[3 * x + c] = gray ? v : static_cast<std::uint8_t>(rng() >> 24);
      }
    }
  }
  return bmp;
}

// "" when the bitmaps are equal, else the first differing sample.
inline std::string FirstDifference(const TFastBmp& a, const TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  for (int y = 0; y < a.Height(); ++y) {
    for (int k = 0; k < 3 * a.Width(); ++k) {
      if (a.Row(y)[k] != b.Row(y)[k]) {
        return "row " + std::to_string(y) + " sample " + std::to_string(k) + ": " +
               std::to_string(a.Row(y)[k]) + " vs " + std::to_string(b.Row(y)[k]);
      }
    }
  }
  return "";
}

// Photo-like content: smooth gradients crossed by soft, lens-sharp steps.
inline std::uint8_t PhotoSample(int x, int y, int c) {
  const auto steps = [](int t, int period) {
    const double phase = std::fmod(t, 2.0 * period);
    return 12.5 *
           (std::tanh((phase - period / 2.0) / 1.5) - std::tanh((phase - 1.5 * period) / 1.5) - 1);
  };
  const double v =
      128 + 90 * std::sin(x * 0.011 + c) * std::cos(y * 0.017 - c) + steps(x, 150) + steps(y, 110);
  return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

// The rows of tests/data/imaging/`name` split at spaces, comment lines ("#") left out.
inline std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  std::istringstream lines(testing::ReadFile(testing::GoldenPath("imaging/" + name)));
  std::vector<std::vector<std::string>> rows;
  for (std::string line, field; std::getline(lines, line);) {
    std::istringstream fields(line);
    if (line.empty() || line[0] == '#') continue;
    for (rows.emplace_back(); fields >> field;) rows.back().push_back(field);
  }
  return rows;
}

}  // namespace quorvel::imaging::test
