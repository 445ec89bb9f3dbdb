// Reading the Orientation tag straight from the TIFF structure of an Exif block: one directory,
// bounds checked on every read.
#include "imaging/exif_orientation.h"

#include <cstdint>
#include <optional>

#include "imaging/exif_tiff.h"

namespace quorvel::imaging {
namespace {

using namespace exif_tiff;

constexpr std::uint16_t kOrientationTag = 0x0112;

}  // namespace

int ReadExifOrientation(std::string_view exif) {
  const std::optional<Tiff> tiff = OpenExifTiff(exif);
  if (!tiff) return 1;
  const auto ifd0 = tiff->Read(4, 4);
  if (!ifd0) return 1;
  // A count past the end is cut to the entries that are there; the first Orientation counts.
  const auto entries = tiff->Directory(*ifd0);
  const Entry* entry = Find(entries, kOrientationTag);
  if (entry == nullptr || entry->type != kShort || entry->count != 1) return 1;
  const auto value = tiff->Read(entry->value, 2);  // left-justified in the value field
  return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

}  // namespace quorvel::imaging
