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

// A minimal APP1 Exif payload: "Exif\0\0", a TIFF header and IFD0 holding one Orientation
// (SHORT, count 1) entry with `orientation`, in Intel or Motorola byte order.
std::string ExifWithOrientation(int orientation, bool big_endian = false);

// A made-up RGB display profile of `size` bytes (at least 132): a plausible 128-byte header,
// an empty tag table, then a byte pattern, so a round trip can be checked byte by byte.
std::string TestIccProfile(std::size_t size, const std::string& colour_space = "RGB ");

// The encoded bytes of a JPEG image.
std::string EncodeTestJpeg(const TestJpegOptions& options);

// Writes a JPEG to `path` and returns the path.
std::string WriteTestJpeg(const std::string& path, const TestJpegOptions& options = {});

}  // namespace quorvel::testing
