// The only decoding file that includes jpeglib.h. libjpeg leaves through longjmp on an error;
// the jumps land in ReadHeader and ReadPixels, whose frames hold plain data only, and become
// an Error in DecodeJpegBytes before control leaves this file.
#include "imaging/jpeg_decoder.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// After jpeglib.h, which it needs.
#include <jerror.h>

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

// Warnings (a stream that ends early, for one) are not failures.
void IgnoreMessage(j_common_ptr, int) {}
void NoOutput(j_common_ptr) {}

// Everything a longjmp can skip over is plain data: no destructor is ever bypassed.
struct DecodeFrame {
  jpeg_decompress_struct cinfo;
  ErrorManager error;
  bool created;
  unsigned char* scanline;  // malloc'ed, room for 4 samples per pixel
  bool save_markers;
  JOCTET* icc;  // malloc'ed by libjpeg
  unsigned int icc_size;
  int width;
  int height;
  int message_code;
};

// One decoded scanline into a bitmap row, as blue, green, red.
void StoreRow(const jpeg_decompress_struct& c, const unsigned char* in, std::uint8_t* out,
              int width) {
  if (c.quantize_colors) {
    const JSAMPROW gray = c.colormap[0];
    for (int x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = gray[in[x]];
  } else if (c.out_color_space == JCS_CMYK) {
    // Adobe files store inverted CMYK (255 = no ink), which libjpeg hands over as it is.
    for (int x = 0; x < width; ++x) {
      const unsigned k = in[4 * x + 3];
      out[3 * x] = static_cast<std::uint8_t>(in[4 * x + 2] * k / 255);
      out[3 * x + 1] = static_cast<std::uint8_t>(in[4 * x + 1] * k / 255);
      out[3 * x + 2] = static_cast<std::uint8_t>(in[4 * x] * k / 255);
    }
  } else {
    for (int x = 0; x < width; ++x) {
      out[3 * x] = in[3 * x + 2];
      out[3 * x + 1] = in[3 * x + 1];
      out[3 * x + 2] = in[3 * x];
    }
  }
}

bool ReadHeader(DecodeFrame& f, const unsigned char* data, unsigned long size) {
  f.cinfo.err = jpeg_std_error(&f.error.pub);
  f.error.pub.error_exit = ErrorExit;
  f.error.pub.emit_message = IgnoreMessage;
  f.error.pub.output_message = NoOutput;
  if (setjmp(f.error.jump) != 0) {
    f.message_code = f.error.pub.msg_code;
    return false;
  }
  jpeg_create_decompress(&f.cinfo);
  f.created = true;
  jpeg_mem_src(&f.cinfo, data, size);
  if (f.save_markers) {
    jpeg_save_markers(&f.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&f.cinfo, JPEG_APP0 + 2, 0xFFFF);
  }
  jpeg_read_header(&f.cinfo, TRUE);
  // A broken chunk sequence is only a warning: the profile then stays absent.
  if (f.save_markers && !jpeg_read_icc_profile(&f.cinfo, &f.icc, &f.icc_size)) f.icc = nullptr;
  f.width = static_cast<int>(f.cinfo.image_width);
  f.height = static_cast<int>(f.cinfo.image_height);
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
  return true;
}

bool ReadPixels(DecodeFrame& f, TFastBmp& bitmap) {
  if (setjmp(f.error.jump) != 0) {
    f.message_code = f.error.pub.msg_code;
    return false;
  }
  jpeg_start_decompress(&f.cinfo);
  if (static_cast<int>(f.cinfo.output_width) != f.width ||
      static_cast<int>(f.cinfo.output_height) != f.height) {
    ERREXIT(&f.cinfo, JERR_IMAGE_TOO_BIG);
  }
  while (f.cinfo.output_scanline < f.cinfo.output_height) {
    JSAMPROW rows[1] = {f.scanline};
    const int y = static_cast<int>(f.cinfo.output_scanline);
    if (jpeg_read_scanlines(&f.cinfo, rows, 1) != 1) break;
    StoreRow(f.cinfo, f.scanline, bitmap.Row(y), f.width);
  }
  jpeg_finish_decompress(&f.cinfo);
  return true;
}

// Releases libjpeg's object and the scanline on every way out of DecodeJpegBytes.
struct FrameRelease {
  DecodeFrame& frame;
  ~FrameRelease() {
    if (frame.created) jpeg_destroy_decompress(&frame.cinfo);
    std::free(frame.scanline);
    std::free(frame.icc);
  }
};

// Saved markers live in libjpeg's image pool, so they are copied before decoding goes on.
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

Error JpegError(int code) { return Error(FormatMessage("JPEG error #%d", std::to_string(code))); }

}  // namespace

void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap,
                     SourceMarkers* markers, std::uint64_t max_pixels) {
  DecodeFrame frame{};
  FrameRelease release{frame};
  frame.save_markers = markers != nullptr;
  if (!ReadHeader(frame, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
    throw JpegError(frame.message_code);
  }
  SourceMarkers found;
  if (markers != nullptr) {
    found.exif = ExifPayload(frame.cinfo);
    if (frame.icc != nullptr) {
      found.icc_profile.assign(reinterpret_cast<const char*>(frame.icc), frame.icc_size);
    }
  }
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(frame.width) * static_cast<std::uint64_t>(frame.height);
  if (pixels > max_pixels) {
    throw Error(name + " announces " + std::to_string(frame.width) + " x " +
                std::to_string(frame.height) + " pixels, more than the " +
                std::to_string(max_pixels / 1000000) + " megapixels accepted");
  }
  TFastBmp decoded(frame.width, frame.height);
  frame.scanline =
      static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(frame.width) * 4 + 4));
  if (frame.scanline == nullptr) throw Error("Out of memory decoding " + name);
  if (!ReadPixels(frame, decoded)) throw JpegError(frame.message_code);
  bitmap = std::move(decoded);
  if (markers != nullptr) *markers = std::move(found);
}

void DecodeJpegFile(const std::string& path, TFastBmp& bitmap, SourceMarkers* markers) {
  std::string bytes;
  if (platform::ReadWholeFile(path, bytes) != 0) {
    throw Error(FormatMessage("Cannot open file %s", path));
  }
  DecodeJpegBytes(bytes, path, bitmap, markers);
}

}  // namespace quorvel::imaging
