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
  if (o.full_chroma) {
    for (int c = 0; c < cinfo.num_components; ++c) {
      cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
  }
  std::vector<jpeg_scan_info> scans(static_cast<std::size_t>(cinfo.num_components));
  if (o.scan_per_component) {
    for (int c = 0; c < cinfo.num_components; ++c) {
      scans[static_cast<std::size_t>(c)] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
    }
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

namespace {

void Put16(std::string& s, unsigned v, bool big) {
  const char hi = static_cast<char>((v >> 8) & 0xFF), lo = static_cast<char>(v & 0xFF);
  s += big ? hi : lo;
  s += big ? lo : hi;
}

void Put32(std::string& s, std::uint32_t v, bool big) {
  Put16(s, big ? v >> 16 : v & 0xFFFF, big);
  Put16(s, big ? v & 0xFFFF : v >> 16, big);
}

}  // namespace

std::string ExifWithOrientation(int orientation, bool big_endian) {
  std::string s("Exif\0\0", 6);
  s += big_endian ? "MM" : "II";
  Put16(s, 42, big_endian);
  Put32(s, 8, big_endian);  // IFD0 right after the header
  Put16(s, 1, big_endian);  // one entry
  Put16(s, 0x0112, big_endian);
  Put16(s, 3, big_endian);  // SHORT
  Put32(s, 1, big_endian);
  Put16(s, static_cast<unsigned>(orientation), big_endian);  // left-justified in the value field
  Put16(s, 0, big_endian);
  Put32(s, 0, big_endian);  // no next IFD
  return s;
}

std::string TestIccProfile(std::size_t size, const std::string& colour_space) {
  if (size < 132) throw std::invalid_argument("an ICC profile needs at least 132 bytes");
  std::string p;
  Put32(p, static_cast<std::uint32_t>(size), true);
  p += "qvtk";                     // preferred CMM
  Put32(p, 0x04300000, true);      // version 4.3
  p += "mntr";                     // display device
  p += colour_space.substr(0, 4);  // data colour space
  p += "XYZ ";                     // connection space
  p.append(12, '\0');              // date and time
  p += "acsp";
  p.resize(128, '\0');
  Put32(p, 0, true);  // no tags
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
