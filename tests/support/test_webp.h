// Small WebP files written by the tests themselves, with libwebp and its muxer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::testing {

struct TestWebpOptions {
  int width = 16;
  int height = 12;
  bool lossless = true;
  int quality = 90;
  bool alpha = false;
  // Sample c (0 red, 1 green, 2 blue, 3 alpha) of (x, y); the default draws a gradient.
  std::function<std::uint8_t(int x, int y, int c)> sample{};
};

// One frame's bitstream (a simple-format file: RIFF, WEBP, VP8 or VP8L).
std::string EncodeTestWebp(const TestWebpOptions& options);

struct TestWebpFrame {
  TestWebpOptions picture;
  int x_offset = 0;  // even
  int y_offset = 0;  // even
};

struct TestWebpFileOptions {
  // One frame gives a still image; more give an animation on a canvas of the given size.
  std::vector<TestWebpFrame> frames;
  int canvas_width = 0;
  int canvas_height = 0;
  std::string exif{};  // an EXIF chunk as it stands when not empty
  std::string icc{};   // an ICCP chunk when not empty
};

// A file assembled by the muxer (VP8X when it carries chunks or frames).
std::string EncodeTestWebpFile(const TestWebpFileOptions& options);

}  // namespace quorvel::testing
