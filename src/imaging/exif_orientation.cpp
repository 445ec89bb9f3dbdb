// Reading the Orientation tag straight from the TIFF structure of an Exif block: one directory,
// bounds checked on every read.
#include "imaging/exif_orientation.h"

#include <algorithm>
#include <cstdint>

namespace quorvel::imaging {
namespace {

constexpr std::string_view kExifHeader("Exif\0\0", 6);
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::size_t kEntryBytes = 12;

// The TIFF data after the Exif header, read in its own byte order.
class TiffReader {
 public:
  TiffReader(std::string_view tiff, bool big_endian) : tiff_(tiff), big_endian_(big_endian) {}

  std::size_t size() const { return tiff_.size(); }
  // Callers check that the bytes lie within the data.
  std::uint32_t Read(std::size_t at, int bytes) const {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const std::uint32_t byte =
          static_cast<unsigned char>(tiff_[at + static_cast<std::size_t>(i)]);
      value |= big_endian_ ? byte << (8 * (bytes - 1 - i)) : byte << (8 * i);
    }
    return value;
  }

 private:
  std::string_view tiff_;
  bool big_endian_;
};

}  // namespace

int ReadExifOrientation(std::string_view exif) {
  if (exif.substr(0, kExifHeader.size()) != kExifHeader) return 1;
  const std::string_view tiff = exif.substr(kExifHeader.size());
  if (tiff.size() < 8 || (tiff.substr(0, 2) != "II" && tiff.substr(0, 2) != "MM")) return 1;
  const TiffReader reader(tiff, tiff[0] == 'M');
  const std::uint32_t ifd0 = reader.Read(4, 4);
  if (ifd0 > reader.size() || reader.size() - ifd0 < 2) return 1;
  // A count past the end is cut to the entries that are there.
  const std::size_t fitting = (reader.size() - ifd0 - 2) / kEntryBytes;
  const std::size_t count = std::min<std::size_t>(reader.Read(ifd0, 2), fitting);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd0 + 2 + i * kEntryBytes;
    if (reader.Read(entry, 2) != kOrientationTag) continue;
    if (reader.Read(entry + 2, 2) != kShortType || reader.Read(entry + 4, 4) != 1) return 1;
    const std::uint32_t value = reader.Read(entry + 8, 2);  // left-justified in the value field
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

}  // namespace quorvel::imaging
