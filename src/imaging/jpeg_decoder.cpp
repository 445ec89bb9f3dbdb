// The only decoding file that includes jpeglib.h: libjpeg's longjmp error exit stays here and
// becomes an Error before control leaves.
#include "imaging/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "core/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void NoOutput(j_common_ptr) {}

enum class DecodeStatus { Ok, JpegError, TooLarge, OutOfMemory };

// Everything the setjmp frame touches is plain data: no destructor is skipped by a longjmp.
struct DecodeFrame {
  jpeg_decompress_struct cinfo;
  ErrorManager error;
  unsigned char* pixels;  // malloc'ed RGB rows
  unsigned char* row;     // one decoded scanline
  int width;
  int height;
  int message_code;
};

void ToRgb(const DecodeFrame& f, const unsigned char* in, unsigned char* out) {
  const jpeg_decompress_struct& c = f.cinfo;
  const int w = f.width;
  if (c.quantize_colors) {
    for (int x = 0; x < w; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = c.colormap[0][in[x]];
  } else if (c.out_color_space == JCS_CMYK) {
    // Adobe files store inverted CMYK, which libjpeg hands over as it is.
    for (int x = 0; x < w; ++x) {
      const unsigned k = in[4 * x + 3];
      for (int i = 0; i < 3; ++i) out[3 * x + i] = static_cast<unsigned char>(in[4 * x + i] * k / 255);
    }
  } else {
    std::memcpy(out, in, static_cast<std::size_t>(w) * 3);
  }
}

DecodeStatus Decode(DecodeFrame& f, const unsigned char* data, unsigned long size) {
  f.cinfo.err = jpeg_std_error(&f.error.pub);
  f.error.pub.error_exit = ErrorExit;
  f.error.pub.emit_message = IgnoreMessage;
  f.error.pub.output_message = NoOutput;
  if (setjmp(f.error.jump) != 0) {
    f.message_code = f.error.pub.msg_code;
    jpeg_destroy_decompress(&f.cinfo);
    return DecodeStatus::JpegError;
  }
  jpeg_create_decompress(&f.cinfo);
  jpeg_mem_src(&f.cinfo, data, size);
  jpeg_read_header(&f.cinfo, TRUE);
  f.width = static_cast<int>(f.cinfo.image_width);
  f.height = static_cast<int>(f.cinfo.image_height);
  if (static_cast<unsigned long long>(f.width) * f.height > kMaxSourcePixels) {
    jpeg_destroy_decompress(&f.cinfo);
    return DecodeStatus::TooLarge;
  }
  f.cinfo.scale_num = 1;
  f.cinfo.scale_denom = 1;
  f.cinfo.do_block_smoothing = TRUE;
  if (f.cinfo.num_components == 1) {
    f.cinfo.out_color_space = JCS_GRAYSCALE;
    f.cinfo.quantize_colors = TRUE;
    f.cinfo.desired_number_of_colors = 236;
  } else if (f.cinfo.jpeg_color_space == JCS_CMYK || f.cinfo.jpeg_color_space == JCS_YCCK) {
    f.cinfo.out_color_space = JCS_CMYK;
  } else {
    f.cinfo.out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(&f.cinfo);
  const std::size_t out_row = static_cast<std::size_t>(f.width) * 3;
  f.pixels = static_cast<unsigned char*>(std::malloc(out_row * static_cast<std::size_t>(f.height)));
  f.row = static_cast<unsigned char*>(
      std::malloc(static_cast<std::size_t>(f.width) * f.cinfo.output_components));
  if (f.pixels == nullptr || f.row == nullptr) {
    jpeg_destroy_decompress(&f.cinfo);
    return DecodeStatus::OutOfMemory;
  }
  while (f.cinfo.output_scanline < f.cinfo.output_height) {
    JSAMPROW rows[1] = {f.row};
    const unsigned y = f.cinfo.output_scanline;
    if (jpeg_read_scanlines(&f.cinfo, rows, 1) != 1) break;
    ToRgb(f, f.row, f.pixels + out_row * y);
  }
  jpeg_finish_decompress(&f.cinfo);
  jpeg_destroy_decompress(&f.cinfo);
  return DecodeStatus::Ok;
}

}  // namespace

DecodedImage DecodeJpegBytes(const std::string& bytes, const std::string& name) {
  DecodeFrame frame{};
  const DecodeStatus status =
      Decode(frame, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  DecodedImage image;
  if (status == DecodeStatus::Ok) {
    image.width = frame.width;
    image.height = frame.height;
    try {
      image.rgb.assign(frame.pixels, frame.pixels + static_cast<std::size_t>(frame.width) * 3 *
                                                        static_cast<std::size_t>(frame.height));
    } catch (...) {
      std::free(frame.pixels);
      std::free(frame.row);
      throw Error("Out of memory decoding " + name);
    }
  }
  std::free(frame.pixels);
  std::free(frame.row);
  switch (status) {
    case DecodeStatus::Ok:
      return image;
    case DecodeStatus::JpegError:
      throw Error(FormatMessage("JPEG error #%d", std::to_string(frame.message_code)));
    case DecodeStatus::TooLarge:
      throw Error(name + " announces " + std::to_string(frame.width) + " x " +
                  std::to_string(frame.height) + " pixels, more than the " +
                  std::to_string(kMaxSourcePixels / 1000000) + " megapixels accepted");
    case DecodeStatus::OutOfMemory:
      break;
  }
  throw Error("Out of memory decoding " + name);
}

DecodedImage DecodeJpegFile(const std::string& path) {
  std::string bytes;
  if (platform::ReadWholeFile(path, bytes) != 0) throw Error(FormatMessage("Cannot open file %s", path));
  return DecodeJpegBytes(bytes, path);
}

}  // namespace quorvel::imaging
