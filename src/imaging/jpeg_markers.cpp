#include "imaging/jpeg_markers.h"

#include <cstring>

namespace quorvel::imaging {

bool HasMarker(const jpeg_decompress_struct& cinfo, int marker, const char* prefix,
               std::size_t length) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == marker && m->data_length >= length &&
        std::memcmp(m->data, prefix, length) == 0) {
      return true;
    }
  }
  return false;
}

std::string ExifPayload(const jpeg_decompress_struct& cinfo) {
  static constexpr char kExifHeader[] = "Exif\0";  // with the terminator: six bytes
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length >= sizeof kExifHeader &&
        std::memcmp(m->data, kExifHeader, sizeof kExifHeader) == 0) {
      return std::string(reinterpret_cast<const char*>(m->data), m->data_length);
    }
  }
  return {};
}

}  // namespace quorvel::imaging
