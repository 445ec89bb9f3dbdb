// What the headers of a source photo and of a thumbnail say, read without decoding a pixel:
// enough to leave out a file that is no readable JPEG before a run is laid out, and to tell
// whether an existing thumbnail is still the one the current settings would make.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvel::imaging {

struct SourceHeader {
  std::uint64_t file_size = 0;
  std::int64_t modified = 0;  // the file's time, nanoseconds since the epoch
  int width = 0;
  int height = 0;
  int components = 0;
  int orientation = 1;       // the Exif Orientation, 1 when there is none
  bool rgb_profile = false;  // an ICC profile for RGB data, which a colour thumbnail carries on
};

// Reads the header as decoding would, and fails as decoding would fail first: Error "Cannot
// open file %s", the size refusal naming the file, or "JPEG error #%d" with libjpeg's own
// message as the error's detail.
SourceHeader ReadSourceHeader(const std::string& path);

using QuantTable = std::array<std::uint16_t, 64>;  // in natural (row by row) order

struct ThumbnailHeader {
  std::int64_t modified = 0;  // the file's time, nanoseconds since the epoch
  int width = 0;
  int height = 0;
  int components = 0;
  std::array<QuantTable, 2> tables{};  // of the first and second component; zero when absent
  bool profile = false;                // an ICC profile is present
};

// Empty when the file cannot be opened or its header cannot be read.
std::optional<ThumbnailHeader> ReadThumbnailHeader(const std::string& path);

// The luminance and chrominance tables of jpeg_set_quality(quality, TRUE).
std::array<QuantTable, 2> ExpectedQuantTables(int quality);

}  // namespace quorvel::imaging
