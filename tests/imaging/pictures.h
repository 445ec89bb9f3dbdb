// Shared by the imaging tests: pictures made and compared, the tables in tests/data/imaging.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "imaging/fast_image.h"
#include "job/error.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging::test {

constexpr double kExact = std::numeric_limits<double>::infinity();  // the PSNR of equal bitmaps

// Samples are the generator's top bytes, so a seed gives the same picture with any library.
inline TFastBmp RandomBitmap(int width, int height, bool gray, std::mt19937& rng) {
  TFastBmp bmp(width, height);
  for (int y = 0; y < height; ++y) {
    for (std::uint8_t* p = bmp.Row(y); p < bmp.Row(y) + 3 * width; p += 3) {
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(rng() >> 24);
      for (int c = 0; c < 3 && !gray; ++c) p[c] = static_cast<std::uint8_t>(rng() >> 24);
    }
  }
  return bmp;
}

// The samples of row `y`, each followed by a space, and a line end.
inline std::string RowText(const TFastBmp& bmp, int y) {
  std::string text;
  for (int k = 0; k < 3 * bmp.Width(); ++k) text += std::to_string(bmp.Row(y)[k]) + " ";
  return text + "\n";
}

// "" when the bitmaps are equal, else the first differing row of each.
inline std::string FirstDifference(const TFastBmp& a, const TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  for (int y = 0; y < a.Height(); ++y) {
    if (!std::equal(a.Row(y), a.Row(y) + 3 * a.Width(), b.Row(y)))
      return "row " + std::to_string(y) + ": " + RowText(a, y) + "vs " + RowText(b, y);
  }
  return "";
}

// Infinity for equal bitmaps; -1 for different sizes.
inline double Psnr(const TFastBmp& a, const TFastBmp& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int k = 0; k < 3 * a.Width(); ++k) sum += std::pow(a.Row(y)[k] - b.Row(y)[k], 2);
  if (sum == 0) return kExact;
  return 10 * std::log10(255.0 * 255.0 * 3 * a.Width() * a.Height() / sum);
}

// The error `run` fails with, detail included, or "no error".
inline std::string ErrorOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const Error& e) {
    return MessageWithDetail(e);
  }
  return "no error";
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

// The bytes of `hex` ("-" for none).
inline std::string Unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// A folder for the pictures of a test, and one holder reused for all of them, as a worker does.
class PictureTest : public ::testing::Test {
 protected:
  // A photo-like source unless the options draw their own picture.
  std::string Source(testing::TestJpegOptions o) {
    if (!o.pixel) o.pixel = PhotoSample;
    return testing::WriteTestJpeg(tmp_.file("s.jpg"), o);
  }

  testing::TempDir tmp_;
  FastImage holder_;
};

}  // namespace quorvel::imaging::test
