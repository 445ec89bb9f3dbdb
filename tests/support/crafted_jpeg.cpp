#include "support/crafted_jpeg.h"

#include <stdexcept>

#include "support/test_jpeg.h"

namespace quorvel::testing {

std::string MarkerSegment(int marker, const std::string& payload) {
  if (payload.size() > 65533) throw std::invalid_argument("a marker holds at most 65533 bytes");
  std::string s{'\xFF', static_cast<char>(marker)};
  PutBytes(s, static_cast<unsigned>(payload.size() + 2), 2, true);
  return s + payload;
}

std::string IccChunk(int number, int count, const std::string& data) {
  std::string payload("ICC_PROFILE\0", 12);
  payload += static_cast<char>(number);
  payload += static_cast<char>(count);
  return MarkerSegment(0xE2, payload + data);
}

std::string WithSegmentsAfterSoi(const std::string& jpeg, const std::string& segment, int count) {
  std::string out = jpeg.substr(0, 2);
  out.reserve(jpeg.size() + segment.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += segment;
  return out + jpeg.substr(2);
}

std::string WithRepeatedLastScan(const std::string& jpeg, int extra) {
  const std::size_t last = jpeg.rfind("\xFF\xDA");
  const std::size_t end = jpeg.rfind("\xFF\xD9");
  if (last == std::string::npos || end == std::string::npos || end < last) {
    throw std::invalid_argument("no scan before EOI");
  }
  const std::string scan = jpeg.substr(last, end - last);
  std::string out = jpeg.substr(0, end);
  out.reserve(jpeg.size() + scan.size() * static_cast<std::size_t>(extra));
  for (int i = 0; i < extra; ++i) out += scan;
  return out + jpeg.substr(end);
}

std::string WithFrameSize(std::string jpeg, int width, int height) {
  std::size_t at = std::string::npos;
  for (const unsigned char sof : {0xC0, 0xC1, 0xC2}) {
    const std::size_t found = jpeg.find(std::string{'\xFF', static_cast<char>(sof)});
    if (found < at) at = found;
  }
  if (at == std::string::npos) throw std::invalid_argument("no frame header");
  std::string size;
  PutBytes(size, static_cast<unsigned>(height << 16 | width), 4, true);
  return jpeg.replace(at + 5, 4, size);
}

std::string ExifWithLoopingIfds(int orientation, int pointers) {
  static constexpr unsigned kPointerTags[] = {0x8769, 0x8825, 0xA005};
  std::string s("Exif\0\0II*\0\x08\0\0\0", 14);
  PutBytes(s, static_cast<unsigned>(pointers + 1), 2, false);
  // The Orientation (SHORT), each pointer (LONG) at IFD0 itself, then the next-IFD link.
  for (int i = -1; i < pointers; ++i) {
    PutBytes(s, i < 0 ? 0x0112 | 3u << 16 : kPointerTags[i % 3] | 4u << 16, 4, false);
    PutBytes(s, 1, 4, false);
    PutBytes(s, i < 0 ? static_cast<unsigned>(orientation) : 8, 4, false);
  }
  PutBytes(s, 8, 4, false);
  return s;
}

std::vector<std::pair<std::string, std::string>> CraftedReviewFiles() {
  const auto flat = [](int x, int y, int c) {
    return static_cast<std::uint8_t>(80 + 40 * c + (x / 512 + y / 512) % 2 * 30);
  };
  const std::string small = EncodeTestJpeg({.width = 64, .height = 48});
  const std::string tiny_progressive =
      EncodeTestJpeg({.width = 16, .height = 16, .quality = 50, .progressive = true});
  const std::string big_progressive = EncodeTestJpeg(
      {.width = 4000, .height = 4000, .quality = 75, .progressive = true, .pixel = flat});
  const std::string full_profile = TestIccProfile(255u * 65519u);
  std::string tiny_chunks;
  for (int i = 0; i < 100000; ++i) tiny_chunks += IccChunk(i % 255 + 1, 255, "abcd");
  return {
      {"empty_app1_markers.jpg", WithSegmentsAfterSoi(small, MarkerSegment(0xE1, ""), 100000)},
      {"tiny_icc_chunks.jpg", WithSegmentsAfterSoi(small, tiny_chunks, 1)},
      {"full_icc_chunks.jpg", EncodeTestJpeg({.width = 64, .height = 48, .icc = full_profile})},
      {"progressive_5000_scans.jpg", WithRepeatedLastScan(big_progressive, 5000)},
      {"progressive_1000_scans_20000.jpg",
       WithFrameSize(WithRepeatedLastScan(tiny_progressive, 1000), 20000, 20000)},
      {"progressive_announces_20000.jpg", WithFrameSize(tiny_progressive, 20000, 20000)},
      {"exif_looping_ifds.jpg",
       EncodeTestJpeg({.width = 64, .height = 48, .exif = ExifWithLoopingIfds(6, 5400)})},
      {"baseline_announces_20000.jpg",
       WithFrameSize(EncodeTestJpeg({.width = 16, .height = 16, .quality = 50}), 20000, 20000)}};
}

}  // namespace quorvel::testing
