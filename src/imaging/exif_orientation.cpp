// Reading the Orientation tag with libexif, which walks the TIFF structure with its own bounds
// and loop checks; only IFD0's own entry is trusted.
#include "imaging/exif_orientation.h"

#include <libexif/exif-data.h>

#include <memory>

namespace quorvel::imaging {
namespace {

struct ExifDataRelease {
  void operator()(ExifData* data) const { exif_data_unref(data); }
};

}  // namespace

int ReadExifOrientation(const std::string& exif) {
  if (exif.empty()) return 1;
  const std::unique_ptr<ExifData, ExifDataRelease> data(exif_data_new());
  if (data == nullptr) return 1;
  // Read the entries exactly as stored: no added defaults, no repairs.
  exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(data.get(), reinterpret_cast<const unsigned char*>(exif.data()),
                      static_cast<unsigned int>(exif.size()));
  ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components != 1 ||
      entry->data == nullptr || entry->size < 2) {
    return 1;
  }
  const int value = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
  return value >= 1 && value <= 8 ? value : 1;
}

}  // namespace quorvel::imaging
