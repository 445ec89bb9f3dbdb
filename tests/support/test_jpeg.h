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
  bool arithmetic = false;  // arithmetic instead of Huffman entropy coding
  bool ycck = false;        // with 4 components: stored as YCCK instead of CMYK
  // Sample of component c at (x, y); the default draws a diagonal gradient.
  std::function<std::uint8_t(int x, int y, int c)> pixel{};
  // Written as they stand when not empty: the APP1 payload (starting "Exif\0\0") and an ICC
  // profile, split into APP2 chunks by libjpeg.
  std::string exif{};
  std::string icc{};
  bool full_chroma = false;         // colour stored 4:4:4 instead of 4:2:0
  bool scan_per_component = false;  // sequential, each component in a scan of its own
};

// A minimal APP1 Exif payload whose IFD0 holds only `orientation`, in either byte order.
std::string ExifWithOrientation(int orientation, bool big_endian = false);

// A made-up display profile of `size` bytes (at least 132): a header, no tags, a byte pattern.
std::string TestIccProfile(std::size_t size, const std::string& colour_space = "RGB ");

// The encoded bytes of a JPEG image.
std::string EncodeTestJpeg(const TestJpegOptions& options);

// Writes a JPEG to `path` and returns the path.
std::string WriteTestJpeg(const std::string& path, const TestJpegOptions& options = {});

// Appends `v` as `bytes` bytes, most significant first when `big`.
void PutBytes(std::string& s, std::uint32_t v, int bytes, bool big = true);

}  // namespace quorvel::testing
