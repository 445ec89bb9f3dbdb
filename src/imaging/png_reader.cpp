// The only file that includes png.h. libpng leaves through longjmp on an error; the jumps land
// in ReadInfo and ReadPixels, whose frames hold plain data only, and become an Error before
// control leaves this file.
#include "imaging/png_reader.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/exif_orientation.h"
#include "imaging/icc_profile.h"
#include "imaging/jpeg_decoder.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

// Far beyond any photo, and small enough that the libpng's row arithmetic stays in range;
// the pixel count is refused separately (RefuseOversizedSource).
constexpr png_uint_32 kMaxSide = 1000000;
constexpr png_alloc_size_t kMaxChunkBytes = 8000000;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;
// zlib's window and tables and libpng's structures, rounded up.
constexpr std::uint64_t kLibraryBytes = 1 << 20;

// Everything a longjmp can skip over is plain data: no destructor is ever bypassed.
struct PngFrame {
  png_structp png;
  png_infop info;
  std::FILE* file;             // the source when reading a file, closed on release
  const unsigned char* bytes;  // else the source in memory
  std::size_t size;
  std::size_t offset;
  char message[200];  // libpng's words for the error
  png_uint_32 width;
  png_uint_32 height;
  int bit_depth;
  int color_type;
  bool alpha;              // an alpha channel or a tRNS chunk
  int passes;              // 7 for an interlaced file
  unsigned char* picture;  // malloc'ed: the whole BGRA picture of an interlaced file with alpha
  unsigned char* row;      // malloc'ed: one BGRA row otherwise
  TFastBmp* bitmap;        // where the rows go; created between ReadInfo and ReadPixels
};

void ErrorExit(png_structp png, png_const_charp message) {
  auto* frame = static_cast<PngFrame*>(png_get_error_ptr(png));
  std::snprintf(frame->message, sizeof frame->message, "%s", message);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// The same words as libpng's own reader for a source that ends early.
void ReadSource(png_structp png, png_bytep out, png_size_t count) {
  auto* frame = static_cast<PngFrame*>(png_get_io_ptr(png));
  if (frame->file != nullptr) {
    if (std::fread(out, 1, count, frame->file) != count) png_error(png, "Read Error");
    return;
  }
  if (count > frame->size - frame->offset) png_error(png, "Read Error");
  std::memcpy(out, frame->bytes + frame->offset, count);
  frame->offset += count;
}

bool ReadInfo(PngFrame& f) {
  if (setjmp(png_jmpbuf(f.png)) != 0) return false;
  png_set_read_fn(f.png, &f, ReadSource);
  png_set_user_limits(f.png, kMaxSide, kMaxSide);
  png_set_chunk_malloc_max(f.png, kMaxChunkBytes);
  png_set_chunk_cache_max(f.png, kMaxAncillaryChunks);
  // Text is never used: not even inflated.
  static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0sPLT\0";
  png_set_keep_unknown_chunks(f.png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 4);
  png_read_info(f.png, f.info);
  int interlace = 0;
  png_get_IHDR(f.png, f.info, &f.width, &f.height, &f.bit_depth, &f.color_type, &interlace, nullptr,
               nullptr);
  f.alpha = (f.color_type & PNG_COLOR_MASK_ALPHA) != 0 ||
            png_get_valid(f.png, f.info, PNG_INFO_tRNS) != 0;
  return true;
}

// Asks libpng for 8-bit blue, green, red (and alpha when the file has any) whatever it holds.
bool SetTransforms(PngFrame& f) {
  if (setjmp(png_jmpbuf(f.png)) != 0) return false;
  if (f.bit_depth == 16) png_set_scale_16(f.png);
  if (f.color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(f.png);
  if (f.bit_depth < 8 && (f.color_type & PNG_COLOR_MASK_COLOR) == 0) {
    png_set_expand_gray_1_2_4_to_8(f.png);
  }
  if (png_get_valid(f.png, f.info, PNG_INFO_tRNS) != 0) png_set_tRNS_to_alpha(f.png);
  if ((f.color_type & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(f.png);
  png_set_bgr(f.png);
  f.passes = png_set_interlace_handling(f.png);
  png_read_update_info(f.png, f.info);
  const png_size_t expected = static_cast<png_size_t>(f.width) * (f.alpha ? 4 : 3);
  if (png_get_rowbytes(f.png, f.info) != expected) png_error(f.png, "unexpected row layout");
  return true;
}

bool ReadPixels(PngFrame& f) {
  if (setjmp(png_jmpbuf(f.png)) != 0) return false;
  const int height = static_cast<int>(f.height);
  const std::size_t row_bytes = static_cast<std::size_t>(f.width) * 4;
  if (!f.alpha) {
    // Three bytes per pixel fit the bitmap's rows as they are.
    for (int pass = 0; pass < f.passes; ++pass) {
      for (int y = 0; y < height; ++y) png_read_row(f.png, f.bitmap->Row(y), nullptr);
    }
    return true;
  }
  if (f.passes > 1) {
    // Each pass adds to the rows of the one before: the whole picture stays until the end.
    f.picture = static_cast<unsigned char*>(std::malloc(row_bytes * f.height));
    if (f.picture == nullptr) png_error(f.png, "Insufficient memory");
    for (int pass = 0; pass < f.passes; ++pass) {
      for (int y = 0; y < height; ++y) png_read_row(f.png, f.picture + row_bytes * y, nullptr);
    }
    for (int y = 0; y < height; ++y) {
      FlattenOnWhite(f.picture + row_bytes * y, static_cast<int>(f.width), false, f.bitmap->Row(y));
    }
    return true;
  }
  f.row = static_cast<unsigned char*>(std::malloc(row_bytes));
  if (f.row == nullptr) png_error(f.png, "Insufficient memory");
  for (int y = 0; y < height; ++y) {
    png_read_row(f.png, f.row, nullptr);
    FlattenOnWhite(f.row, static_cast<int>(f.width), false, f.bitmap->Row(y));
  }
  return true;
}

// Releases libpng's objects, the file and the buffers on every way out of a read.
struct FrameRelease {
  PngFrame& frame;
  ~FrameRelease() {
    if (frame.png != nullptr) png_destroy_read_struct(&frame.png, &frame.info, nullptr);
    if (frame.file != nullptr) std::fclose(frame.file);
    std::free(frame.picture);
    std::free(frame.row);
  }
};

void Open(PngFrame& frame, const std::string& name) {
  frame.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &frame, ErrorExit, IgnoreWarning);
  if (frame.png != nullptr) frame.info = png_create_info_struct(frame.png);
  if (frame.info == nullptr) throw ReadImageError(name, "libpng cannot start");
}

PictureInfo Info(PngFrame& frame, const std::string& name) {
  if (!ReadInfo(frame)) throw ReadImageError(name, frame.message);
  PictureInfo info;
  info.width = static_cast<int>(frame.width);
  info.height = static_cast<int>(frame.height);
  RefuseOversizedSource(name, info.width, info.height);
  info.has_alpha = frame.alpha;
  info.bit_depth = frame.bit_depth;
  png_charp profile_name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profile_size = 0;
  if (png_get_iCCP(frame.png, frame.info, &profile_name, &compression, &profile, &profile_size) &&
      profile != nullptr) {
    info.icc_profile.assign(reinterpret_cast<const char*>(profile), profile_size);
  }
  png_uint_32 exif_size = 0;
  png_bytep exif = nullptr;
  if (png_get_eXIf_1(frame.png, frame.info, &exif_size, &exif) && exif != nullptr) {
    info.exif = ExifBlock({reinterpret_cast<const char*>(exif), exif_size});
  }
  info.orientation = ReadExifOrientation(info.exif);
  info.rgb_profile = DescribesRgb(info.icc_profile);
  // The bitmap, the whole BGRA picture of an interlaced file with alpha, libpng's rows (two of
  // up to 8 bytes per pixel) and ours, the profile twice (libpng's and ours), zlib's state.
  const bool whole = frame.alpha && png_get_interlace_type(frame.png, frame.info) != 0;
  std::uint64_t bytes = PixelBytes(TFastBmp::StrideFor(info.width), info.height, 1);
  bytes = AddBytes(bytes, PixelBytes(info.width, info.height, whole ? 4 : 0));
  bytes = AddBytes(bytes, PixelBytes(info.width, 1, 20));
  info.decode_bytes = AddBytes(bytes, 2 * info.icc_profile.size() + kLibraryBytes);
  return info;
}

DecodedPicture Decode(PngFrame& frame, const std::string& name, std::uint64_t max_pixels) {
  DecodedPicture picture;
  picture.info = Info(frame, name);
  RefuseOversizedSource(name, picture.info.width, picture.info.height, max_pixels);
  if (!SetTransforms(frame)) throw ReadImageError(name, frame.message);
  picture.bitmap = TFastBmp(picture.info.width, picture.info.height);
  frame.bitmap = &picture.bitmap;
  if (!ReadPixels(frame)) throw ReadImageError(name, frame.message);
  return picture;
}

void OpenFile(PngFrame& frame, const std::string& path) {
  int error = 0;
  frame.file = platform::OpenFileForReading(path, error);
  if (frame.file == nullptr) throw Error(FileErrorMessage("Cannot open file %s", path, error));
  Open(frame, path);
}

void OpenBytes(PngFrame& frame, const std::string& bytes, const std::string& name) {
  frame.bytes = reinterpret_cast<const unsigned char*>(bytes.data());
  frame.size = bytes.size();
  Open(frame, name);
}

}  // namespace

PictureInfo ReadPngInfo(const std::string& path) {
  PngFrame frame{};
  FrameRelease release{frame};
  OpenFile(frame, path);
  return Info(frame, path);
}

DecodedPicture DecodePngFile(const std::string& path, std::uint64_t max_pixels) {
  PngFrame frame{};
  FrameRelease release{frame};
  OpenFile(frame, path);
  return Decode(frame, path, max_pixels);
}

PictureInfo ReadPngInfoBytes(const std::string& bytes, const std::string& name) {
  PngFrame frame{};
  FrameRelease release{frame};
  OpenBytes(frame, bytes, name);
  return Info(frame, name);
}

DecodedPicture DecodePngBytes(const std::string& bytes, const std::string& name,
                              std::uint64_t max_pixels) {
  PngFrame frame{};
  FrameRelease release{frame};
  OpenBytes(frame, bytes, name);
  return Decode(frame, name, max_pixels);
}

}  // namespace quorvel::imaging
