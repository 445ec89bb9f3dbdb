#include "imaging/jpeg_markers.h"

#include <cstring>

namespace quorvel::imaging {
namespace {

jpeg_saved_marker_ptr FindMarker(const jpeg_decompress_struct& cinfo, int marker,
                                 const char* prefix, std::size_t length) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == marker && m->data_length >= length &&
        std::memcmp(m->data, prefix, length) == 0) {
      return m;
    }
  }
  return nullptr;
}

}  // namespace

bool HasMarker(const jpeg_decompress_struct& cinfo, int marker, const char* prefix,
               std::size_t length) {
  return FindMarker(cinfo, marker, prefix, length) != nullptr;
}

std::string ExifPayload(const jpeg_decompress_struct& cinfo) {
  static constexpr char kExifHeader[] = "Exif\0";  // with the terminator: six bytes
  const jpeg_saved_marker_ptr m = FindMarker(cinfo, JPEG_APP0 + 1, kExifHeader, sizeof kExifHeader);
  if (m == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(m->data), m->data_length);
}

}  // namespace quorvel::imaging
