// The only encoding file that includes jpeglib.h: libjpeg's longjmp error exit stays here.
#include "imaging/jpeg_encoder.h"

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <memory>
#include <new>

#include "imaging/libjpeg_errors.h"
#include "job/error.h"

namespace quorvel::imaging {
namespace {

// Plain data only inside the setjmp frame.
struct EncodeFrame {
  jpeg_compress_struct cinfo;
  LibjpegErrors error;
  unsigned char* out;
  unsigned long out_size;
  unsigned char* row;
  const JOCTET* icc;
  unsigned int icc_size;
  const JOCTET* comment;
  unsigned int comment_size;
};

bool Encode(EncodeFrame& f, const TFastBmp& bmp, int quality, bool grayscale) {
  f.cinfo.err = InstallLibjpegErrors(f.error);
  if (setjmp(f.error.jump) != 0) {
    jpeg_destroy_compress(&f.cinfo);
    return false;
  }
  jpeg_create_compress(&f.cinfo);
  jpeg_mem_dest(&f.cinfo, &f.out, &f.out_size);
  f.cinfo.image_width = static_cast<JDIMENSION>(bmp.Width());
  f.cinfo.image_height = static_cast<JDIMENSION>(bmp.Height());
  f.cinfo.input_components = 3;
#if defined(JCS_EXTENSIONS)
  // libjpeg-turbo reads the bitmap's blue, green, red rows as they are: no copy per row, and the
  // same colour conversion, so the same bytes.
  f.cinfo.in_color_space = JCS_EXT_BGR;
#else
  f.cinfo.in_color_space = JCS_RGB;
#endif
  jpeg_set_defaults(&f.cinfo);
  jpeg_set_quality(&f.cinfo, quality, TRUE);
  if (grayscale) jpeg_set_colorspace(&f.cinfo, JCS_GRAYSCALE);
  jpeg_start_compress(&f.cinfo, TRUE);
  if (f.icc_size > 0) jpeg_write_icc_profile(&f.cinfo, f.icc, f.icc_size);
  if (f.comment_size > 0) jpeg_write_marker(&f.cinfo, JPEG_COM, f.comment, f.comment_size);
  while (f.cinfo.next_scanline < f.cinfo.image_height) {
#if defined(JCS_EXTENSIONS)
    constexpr int kRows = 16;
    JSAMPROW rows[kRows];
    const int first = static_cast<int>(f.cinfo.next_scanline);
    const int count = std::min(kRows, bmp.Height() - first);
    // libjpeg takes the rows as writable but only reads them.
    for (int i = 0; i < count; ++i) rows[i] = const_cast<JSAMPROW>(bmp.Row(first + i));
    jpeg_write_scanlines(&f.cinfo, rows, static_cast<JDIMENSION>(count));
#else
    const std::uint8_t* in = bmp.Row(static_cast<int>(f.cinfo.next_scanline));
    for (int x = 0; x < bmp.Width(); ++x) {
      f.row[3 * x] = in[3 * x + 2];
      f.row[3 * x + 1] = in[3 * x + 1];
      f.row[3 * x + 2] = in[3 * x];
    }
    JSAMPROW rows[1] = {f.row};
    jpeg_write_scanlines(&f.cinfo, rows, 1);
#endif
  }
  jpeg_finish_compress(&f.cinfo);
  jpeg_destroy_compress(&f.cinfo);
  return true;
}

}  // namespace

std::string EncodeJpeg(const TFastBmp& bitmap, int quality, bool grayscale,
                       const std::string& icc_profile, const std::string& comment) {
  EncodeFrame frame{};
  // No APP2 chunk sequence holds more than 255 chunks of 65519 bytes, no marker 65533 bytes.
  if (icc_profile.size() > 255u * 65519u) throw Error("ICC profile too large for a JPEG file");
  if (comment.size() > 65533u) throw Error("Comment too large for a JPEG file");
  frame.icc = reinterpret_cast<const JOCTET*>(icc_profile.data());
  frame.icc_size = static_cast<unsigned int>(icc_profile.size());
  frame.comment = reinterpret_cast<const JOCTET*>(comment.data());
  frame.comment_size = static_cast<unsigned int>(comment.size());
  frame.row =
      static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(bitmap.Width()) * 3 + 1));
  if (frame.row == nullptr) throw Error("Out of memory encoding a thumbnail");
  const bool ok = Encode(frame, bitmap, quality, grayscale);
  // Outside the setjmp frame from here on: ordinary owners may release the buffers.
  const std::unique_ptr<unsigned char, void (*)(void*)> out(frame.out, std::free);
  const std::unique_ptr<unsigned char, void (*)(void*)> row(frame.row, std::free);
  if (!ok) throw LibjpegError(frame.error);
  try {
    return std::string(reinterpret_cast<const char*>(frame.out), frame.out_size);
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory encoding a thumbnail");
  }
}

}  // namespace quorvel::imaging
