// What the headers of a source photo and of a thumbnail say, read without decoding a pixel:
// enough to leave out a file that is no readable JPEG before a run is laid out, and to tell
// whether an existing thumbnail is still the one the current settings would make.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "imaging/decode_limits.h"
#include "imaging/exif_details.h"
#include "imaging/thumbnail_mark.h"

namespace quorvel::imaging {

struct SourceHeader {
  std::uint64_t file_size = 0;
  std::int64_t modified = 0;  // the file's time, nanoseconds since the epoch
  int width = 0;
  int height = 0;
  int components = 0;
  int orientation = 1;  // the Exif Orientation (ReadExifOrientation), 1 when there is none
  // An ICC profile for RGB data (DescribesRgb) of at most the limit's size, which a colour
  // thumbnail carries on.
  bool rgb_profile = false;
  ExifDetails details;  // what a photo page may tell of the photo (ReadExifDetails)
};

// Reads the header as decoding would, and fails as decoding would fail first: Error "Cannot
// open file %s" with the system's reason as the detail, the size or memory refusal of `limits`
// naming the file, or "JPEG error #%d" with libjpeg's own message as the error's detail. Only
// the first Exif block and the ICC chunks are kept of the markers; the Exif block is read here
// and nowhere else.
SourceHeader ReadSourceHeader(const std::string& path, const DecodeLimits& limits = {});

using QuantTable = std::array<std::uint16_t, 64>;  // in natural (row by row) order

struct ThumbnailHeader {
  std::int64_t modified = 0;  // the file's time, nanoseconds since the epoch
  int width = 0;
  int height = 0;
  int components = 0;
  std::array<QuantTable, 2> tables{};  // of the first and second component; zero when absent
  bool profile = false;                // an ICC profile is present
  ThumbnailMark mark;                  // from the first comment marker
};

// Empty when the file cannot be opened or its header cannot be read.
std::optional<ThumbnailHeader> ReadThumbnailHeader(const std::string& path);

// The luminance and chrominance tables of jpeg_set_quality(quality, TRUE).
std::array<QuantTable, 2> ExpectedQuantTables(int quality);

}  // namespace quorvel::imaging
