// Small JPEG files written by the tests themselves, with libjpeg.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::testing {

struct TestJpegOptions {
  int width = 16;
  int height = 12;
  int components = 3;  // 1 gray, 3 RGB, 4 CMYK (written as Adobe inverted CMYK)
  int quality = 90;
  bool progressive = false;
  // Sample of component c at (x, y); the default draws a diagonal gradient.
  std::function<std::uint8_t(int x, int y, int c)> pixel;
};

// The encoded bytes of a JPEG image.
std::string EncodeTestJpeg(const TestJpegOptions& options);

// Writes a JPEG to `path` and returns the path.
std::string WriteTestJpeg(const std::string& path, const TestJpegOptions& options = {});

}  // namespace quorvel::testing
