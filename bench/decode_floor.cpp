// The floor any thumbnailer of full-size decodes stands on: libjpeg decoding every file into
// scanlines that are thrown away, on N threads taking files in turn.
//   decode_floor [--fast-box N] [--rules] [--reader] THREADS FILE...
// --fast-box N decodes each file at the DCT scale fast mode picks for a thumbnail box of N x N
// (the Orientation tag is not read: sides are fitted as stored). --rules decodes as exact mode
// must: gray files through libjpeg's one-pass quantiser with 236 levels, CMYK as CMYK.
// HEIC, HEIF and AVIF files are decoded whole by libheif into interleaved 8-bit RGB (its own
// conversion, tiles in the calling thread as a run has them) and the picture is dropped; with
// --reader they and the other formats a web gallery takes go through the run's own reader
// (DecodePicture: planar RGB, our rounding and copy into the working bitmap) instead.
#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

// After <cstdio> and <cstddef>, which it needs; jerror.h after it.
#include <jerror.h>
#include <jpeglib.h>
#include <libheif/heif.h>

#include "imaging/picture_reader.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "job/image_formats.h"

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

struct Options {
  int fast_box = 0;  // 0: full size
  bool rules = false;
  bool reader = false;
};

// Plain data only between setjmp and longjmp.
bool DecodeFile(const char* path, const Options& options, unsigned char* row,
                std::size_t row_size) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  jpeg_decompress_struct cinfo;
  ErrorManager error;
  cinfo.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = ErrorExit;
  if (setjmp(error.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (options.fast_box > 0) {
    const int w = static_cast<int>(cinfo.image_width), h = static_cast<int>(cinfo.image_height);
    const quorvel::imaging::ThumbnailSize size =
        quorvel::imaging::FitToBox(options.fast_box, options.fast_box, w, h);
    cinfo.scale_num = 1;
    cinfo.scale_denom =
        static_cast<unsigned int>(quorvel::imaging::FastDecodeScale(w, h, size.width, size.height));
  }
  if (options.rules && cinfo.num_components == 1) {
    cinfo.quantize_colors = TRUE;
    cinfo.desired_number_of_colors = 236;
  }
  if (options.rules && (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)) {
    cinfo.out_color_space = JCS_CMYK;
  }
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width * static_cast<std::size_t>(cinfo.output_components) > row_size) {
    ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return true;
}

bool DecodeHeif(const char* path) {
  heif_context* context = heif_context_alloc();
  heif_context_set_max_decoding_threads(context, 0);
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_error error = heif_context_read_from_file(context, path, nullptr);
  if (error.code == heif_error_Ok) {
    error = heif_context_get_primary_image_handle(context, &handle);
  }
  if (error.code == heif_error_Ok) {
    error = heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                              nullptr);
  }
  if (error.code != heif_error_Ok) std::fprintf(stderr, "%s: %s\n", path, error.message);
  if (image != nullptr) heif_image_release(image);
  if (handle != nullptr) heif_image_handle_release(handle);
  heif_context_free(context);
  return error.code == heif_error_Ok;
}

bool DecodeWhole(const char* path, quorvel::ImageFormat format) {
  try {
    quorvel::imaging::DecodePicture(path, format);
    return true;
  } catch (const quorvel::Error& error) {
    std::fprintf(stderr, "%s\n", quorvel::MessageWithDetail(error).c_str());
    return false;
  }
}

bool Decode(const char* path, const Options& options, unsigned char* row, std::size_t row_size) {
  const quorvel::ImageFormat format = quorvel::FormatOfName(path);
  if (options.reader && quorvel::imaging::IsDecodedWhole(format)) return DecodeWhole(path, format);
  switch (format) {
    case quorvel::ImageFormat::Heic:
    case quorvel::ImageFormat::Heif:
    case quorvel::ImageFormat::Avif:
      return DecodeHeif(path);
    default:
      return DecodeFile(path, options, row, row_size);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int arg = 1;
  for (; arg < argc && argv[arg][0] == '-'; ++arg) {
    if (std::strcmp(argv[arg], "--fast-box") == 0 && arg + 1 < argc) {
      options.fast_box = std::max(1, std::atoi(argv[++arg]));
    } else if (std::strcmp(argv[arg], "--rules") == 0) {
      options.rules = true;
    } else if (std::strcmp(argv[arg], "--reader") == 0) {
      options.reader = true;
    } else {
      break;
    }
  }
  if (argc - arg < 2) {
    std::fprintf(stderr,
                 "usage: decode_floor [--fast-box N] [--rules] [--reader] THREADS FILE...\n");
    return 2;
  }
  const int threads = std::max(1, std::atoi(argv[arg]));
  heif_init(nullptr);
  std::vector<const char*> files(argv + arg + 1, argv + argc);
  std::atomic<std::size_t> next{0};
  std::atomic<int> failed{0};
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      std::vector<unsigned char> row(65536 * 4);
      for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
        if (!Decode(files[i], options, row.data(), row.size())) {
          std::fprintf(stderr, "%s: cannot decode\n", files[i]);
          ++failed;
        }
      }
    });
  }
  for (std::thread& t : pool) t.join();
  heif_deinit();
  return failed == 0 ? 0 : 1;
}
