// The only decoding file that includes jpeglib.h. libjpeg leaves through longjmp on an error,
// and so does the progress monitor that keeps the scan limit and the stop flag; the jumps land
// in ReadHeader and ReadPixels, whose frames hold plain data only, and become an Error in
// DecodeRows before control leaves this file.
#include "imaging/jpeg_decoder.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "imaging/gray_dither.h"
#include "imaging/jpeg_markers.h"
#include "imaging/libjpeg_errors.h"
#include "imaging/libjpeg_limits.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

// Everything a longjmp can skip over is plain data: no destructor is ever bypassed.
struct DecodeFrame {
  jpeg_decompress_struct cinfo;
  LibjpegErrors error;
  DecodeWatch watch;
  KeptMarkers kept;
  bool created;
  std::FILE* file;           // the source when decoding from a file, closed on release
  unsigned char* scanlines;  // malloc'ed, kRowBatch rows of 4 samples per pixel
  std::uint8_t* bgr;         // malloc'ed, kRowBatch rows of 3 bytes per pixel
  bool library_gray;         // libjpeg's own quantiser for gray files instead of DitherGrayRow
  GrayDitherState gray;      // errors malloc'ed
  int width;
  int height;
};

bool IsBgr(J_COLOR_SPACE space) {
#if defined(JCS_EXTENSIONS)
  return space == JCS_EXT_BGR;
#else
  return false;
#endif
}

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

bool ReadHeader(DecodeFrame& f, const unsigned char* data, unsigned long size,
                const DecodeLimits& limits) {
  f.cinfo.err = InstallLibjpegErrors(f.error);
  if (setjmp(f.error.jump) != 0) return false;
  jpeg_create_decompress(&f.cinfo);
  f.created = true;
  if (f.file != nullptr) {
    jpeg_stdio_src(&f.cinfo, f.file);
  } else {
    jpeg_mem_src(&f.cinfo, data, size);
  }
  KeepMarkers(f.cinfo, f.kept, {.profile = true}, limits.max_profile_bytes);
  WatchDecode(f.cinfo, f.watch, f.error, limits);
  jpeg_read_header(&f.cinfo, TRUE);
  f.kept.header_read = true;
  f.width = static_cast<int>(f.cinfo.image_width);
  f.height = static_cast<int>(f.cinfo.image_height);
  f.cinfo.scale_num = 1;
  f.cinfo.scale_denom = 1;
  f.cinfo.do_block_smoothing = TRUE;
  if (f.cinfo.num_components == 1) {
    f.cinfo.out_color_space = JCS_GRAYSCALE;
    f.cinfo.quantize_colors = f.library_gray ? TRUE : FALSE;
    f.cinfo.desired_number_of_colors = kGrayLevels;
  } else if (f.cinfo.jpeg_color_space == JCS_CMYK || f.cinfo.jpeg_color_space == JCS_YCCK) {
    f.cinfo.out_color_space = JCS_CMYK;
  } else {
#if defined(JCS_EXTENSIONS)
    // libjpeg-turbo writes the bitmap's byte order itself: no pass to swap red and blue.
    f.cinfo.out_color_space = JCS_EXT_BGR;
#else
    f.cinfo.out_color_space = JCS_RGB;
#endif
  }
  return true;
}

// Reads up to kRowBatch scanlines; libjpeg may hand over fewer per call.
int ReadBatch(jpeg_decompress_struct& c, unsigned char* scanlines, std::size_t row_bytes) {
  int n = 0;
  while (n < kRowBatch && c.output_scanline < c.output_height) {
    JSAMPROW rows[kRowBatch];
    for (int i = n; i < kRowBatch; ++i)
      rows[i - n] = scanlines + static_cast<std::size_t>(i) * row_bytes;
    const JDIMENSION got = jpeg_read_scanlines(&c, rows, static_cast<JDIMENSION>(kRowBatch - n));
    if (got == 0) break;
    n += static_cast<int>(got);
  }
  return n;
}

// The consumer's Begin and TakeRows may throw; that unwinds through this frame, which holds
// plain data only, and leaves libjpeg's object for FrameRelease.
bool ReadPixels(DecodeFrame& f, ScanlineConsumer& consumer) {
  if (setjmp(f.error.jump) != 0) return false;
  jpeg_start_decompress(&f.cinfo);
  const int width = static_cast<int>(f.cinfo.output_width);
  const std::size_t scan_bytes = static_cast<std::size_t>(width) * 4 + 4;
  const std::size_t bgr_bytes = static_cast<std::size_t>(width) * 3 + 4;
  f.scanlines = static_cast<unsigned char*>(std::malloc(scan_bytes * kRowBatch));
  f.bgr = static_cast<std::uint8_t*>(std::malloc(bgr_bytes * kRowBatch));
  if (f.scanlines == nullptr || f.bgr == nullptr) ERREXIT(&f.cinfo, JERR_OUT_OF_MEMORY);
  if (f.cinfo.out_color_space == JCS_GRAYSCALE && !f.cinfo.quantize_colors) {
    f.gray = {static_cast<int*>(std::calloc(static_cast<std::size_t>(width) + 2, sizeof(int))),
              width, false};
    if (f.gray.errors == nullptr) ERREXIT(&f.cinfo, JERR_OUT_OF_MEMORY);
  }
  consumer.Begin(width, static_cast<int>(f.cinfo.output_height));
  const bool direct = IsBgr(f.cinfo.out_color_space);
  const std::uint8_t* rows[kRowBatch];
  for (int i = 0; i < kRowBatch; ++i) {
    rows[i] = direct ? f.scanlines + static_cast<std::size_t>(i) * scan_bytes
                     : f.bgr + static_cast<std::size_t>(i) * bgr_bytes;
  }
  while (f.cinfo.output_scanline < f.cinfo.output_height) {
    const int first = static_cast<int>(f.cinfo.output_scanline);
    const int n = ReadBatch(f.cinfo, f.scanlines, scan_bytes);
    if (n == 0) break;
    for (int i = 0; i < n && !direct; ++i) {
      const unsigned char* in = f.scanlines + static_cast<std::size_t>(i) * scan_bytes;
      std::uint8_t* out = f.bgr + static_cast<std::size_t>(i) * bgr_bytes;
      if (f.gray.errors != nullptr) {
        DitherGrayRow(f.gray, in, out);
      } else {
        StoreRow(f.cinfo, in, out, width);
      }
    }
    consumer.TakeRows(first, rows, n);
  }
  jpeg_finish_decompress(&f.cinfo);
  return true;
}

// Releases libjpeg's object, the file and the buffers on every way out of a decode.
struct FrameRelease {
  DecodeFrame& frame;
  ~FrameRelease() {
    if (frame.created) jpeg_destroy_decompress(&frame.cinfo);
    if (frame.file != nullptr) std::fclose(frame.file);
    std::free(frame.scanlines);
    std::free(frame.bgr);
    std::free(frame.gray.errors);
  }
};

// The decode itself, from `frame.file` when set, else from the bytes; returns the warnings.
std::string DecodeRows(DecodeFrame& frame, const std::string& bytes, const std::string& name,
                       ScanlineConsumer& consumer, const DecodeLimits& limits) {
  if (!ReadHeader(frame, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                  limits)) {
    throw DecodeFailure(frame.error, name, limits);
  }
  SourceMarkers markers;
  KeptProfile profile = KeptIccProfile(frame.kept);
  markers.icc_profile = std::move(profile.bytes);
  if (profile.oversized_rgb) markers.oversized_rgb_profile = profile.oversized;
  RefuseOversizedSource(name, frame.width, frame.height, limits.max_pixels);
  RefuseOverBudget(name, frame.cinfo, limits);
  const int denominator = consumer.ChooseScale(frame.width, frame.height, markers);
  frame.cinfo.scale_denom = static_cast<unsigned int>(
      denominator == 2 || denominator == 4 || denominator == 8 ? denominator : 1);
  if (!ReadPixels(frame, consumer)) throw DecodeFailure(frame.error, name, limits);
  return LibjpegWarnings(frame.error);
}

// Collects the rows of a full-scale decode into a bitmap.
class BitmapConsumer final : public ScanlineConsumer {
 public:
  int ChooseScale(int, int, const SourceMarkers& markers) override {
    markers_ = markers;
    return 1;
  }
  void Begin(int width, int height) override { bitmap_ = TFastBmp(width, height); }
  void TakeRows(int first, const std::uint8_t* const* rows, int count) override {
    const std::size_t bytes = static_cast<std::size_t>(bitmap_.Width()) * 3;
    for (int i = 0; i < count; ++i) std::memcpy(bitmap_.Row(first + i), rows[i], bytes);
  }
  TFastBmp& bitmap() { return bitmap_; }
  SourceMarkers& markers() { return markers_; }

 private:
  TFastBmp bitmap_;
  SourceMarkers markers_;
};

}  // namespace

void RefuseOversizedSource(const std::string& name, int width, int height,
                           std::uint64_t max_pixels) {
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > max_pixels) {
    throw Error(name + " announces " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels, more than the " + std::to_string(max_pixels / 1000000) +
                " megapixels accepted");
  }
}

std::string DecodeJpegBytesRows(const std::string& bytes, const std::string& name,
                                ScanlineConsumer& consumer, const DecodeLimits& limits) {
  DecodeFrame frame{};
  FrameRelease release{frame};
  return DecodeRows(frame, bytes, name, consumer, limits);
}

std::string DecodeJpegFileRows(const std::string& path, ScanlineConsumer& consumer,
                               const DecodeLimits& limits) {
  DecodeFrame frame{};
  FrameRelease release{frame};
  int error = 0;
  frame.file = platform::OpenFileForReading(path, error);
  if (frame.file == nullptr) {
    throw Error(FormatMessage("Cannot open file %s", path), platform::ErrorText(error));
  }
  return DecodeRows(frame, std::string(), path, consumer, limits);
}

void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap,
                     SourceMarkers* markers, const DecodeLimits& limits) {
  BitmapConsumer consumer;
  DecodeJpegBytesRows(bytes, name, consumer, limits);
  bitmap = std::move(consumer.bitmap());
  if (markers != nullptr) *markers = std::move(consumer.markers());
}

void DecodeJpegFile(const std::string& path, TFastBmp& bitmap, SourceMarkers* markers) {
  BitmapConsumer consumer;
  DecodeJpegFileRows(path, consumer);
  bitmap = std::move(consumer.bitmap());
  if (markers != nullptr) *markers = std::move(consumer.markers());
}

void DecodeJpegBytesWithLibraryGray(const std::string& bytes, TFastBmp& bitmap) {
  DecodeFrame frame{};
  frame.library_gray = true;
  FrameRelease release{frame};
  BitmapConsumer consumer;
  DecodeRows(frame, bytes, "bytes", consumer, {});
  bitmap = std::move(consumer.bitmap());
}

}  // namespace quorvel::imaging
