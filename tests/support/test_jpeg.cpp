#include "support/test_jpeg.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace quorvel::testing {

std::string EncodeTestJpeg(const TestJpegOptions& o) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(o.width);
  cinfo.image_height = static_cast<JDIMENSION>(o.height);
  cinfo.input_components = o.components;
  cinfo.in_color_space = o.components == 1 ? JCS_GRAYSCALE : o.components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, o.quality, TRUE);
  if (o.progressive) jpeg_simple_progression(&cinfo);
  if (o.components == 4) cinfo.write_Adobe_marker = TRUE;
  if (o.components == 4 && o.ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  if (o.arithmetic) cinfo.arith_code = TRUE;
  for (int c = 0; o.full_chroma && c < cinfo.num_components; ++c)
    cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
  std::vector<jpeg_scan_info> scans(static_cast<std::size_t>(cinfo.num_components));
  if (o.scan_per_component) {
    for (int c = 0; c < cinfo.num_components; ++c)
      scans[static_cast<std::size_t>(c)] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
    cinfo.scan_info = scans.data();
    cinfo.num_scans = cinfo.num_components;
  }
  jpeg_start_compress(&cinfo, TRUE);
  if (!o.exif.empty()) {
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(o.exif.data()),
                      static_cast<unsigned>(o.exif.size()));
  }
  if (!o.icc.empty()) {
    jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(o.icc.data()),
                           static_cast<unsigned>(o.icc.size()));
  }
  std::vector<JSAMPLE> row(static_cast<std::size_t>(o.width * o.components));
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < o.width; ++x) {
      for (int c = 0; c < o.components; ++c) {
        const int v = o.pixel ? o.pixel(x, y, c)
                              : (x * 255 / std::max(1, o.width - 1) + y * 7 + c * 60) % 256;
        row[static_cast<std::size_t>(x * o.components + c)] = static_cast<JSAMPLE>(v);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

void PutBytes(std::string& s, std::uint32_t v, int bytes, bool big) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> 8 * (big ? bytes - 1 - i : i));
}

std::string ExifWithOrientation(int orientation, bool big_endian) {
  std::string s("Exif\0\0", 6);
  s += big_endian ? "MM" : "II";
  // 42, IFD0 next, one entry (Orientation, SHORT, count 1, left-justified), no next IFD.
  const std::uint32_t values[] = {42, 8, 1, 0x0112, 3, 1, std::uint32_t(orientation), 0, 0};
  const int sizes[] = {2, 4, 2, 2, 2, 4, 2, 2, 4};
  for (int i = 0; i < 9; ++i) PutBytes(s, values[i], sizes[i], big_endian);
  return s;
}

std::string TestIccProfile(std::size_t size, const std::string& colour_space) {
  if (size < 132) throw std::invalid_argument("an ICC profile needs at least 132 bytes");
  std::string p;
  PutBytes(p, static_cast<std::uint32_t>(size), 4);
  p += "qvtk";                     // preferred CMM
  PutBytes(p, 0x04300000, 4);      // version 4.3
  p += "mntr";                     // display device
  p += colour_space.substr(0, 4);  // data colour space
  p += "XYZ ";                     // connection space
  p.append(12, '\0');              // date and time
  p += "acsp";
  p.resize(128, '\0');
  PutBytes(p, 0, 4);  // no tags
  for (std::size_t i = p.size(); i < size; ++i) p += static_cast<char>((i * 37 + i / 251) & 0xFF);
  return p;
}

std::string WriteTestJpeg(const std::string& path, const TestJpegOptions& options) {
  std::ofstream out(path, std::ios::binary);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << EncodeTestJpeg(options);
  return path;
}

}  // namespace quorvel::testing
