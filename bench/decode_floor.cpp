// The floor any thumbnailer of full-size decodes stands on: libjpeg decoding every file at
// full scale into scanlines that are thrown away, on N threads taking files in turn.
//   decode_floor THREADS FILE...
#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

// After <cstdio> and <cstddef>, which it needs; jerror.h after it.
#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Plain data only between setjmp and longjmp.
bool DecodeFile(const char* path, unsigned char* row, std::size_t row_size) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: decode_floor THREADS FILE...\n");
    return 2;
  }
  const int threads = std::max(1, std::atoi(argv[1]));
  std::vector<const char*> files(argv + 2, argv + argc);
  std::atomic<std::size_t> next{0};
  std::atomic<int> failed{0};
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      std::vector<unsigned char> row(65536 * 4);
      for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
        if (!DecodeFile(files[i], row.data(), row.size())) {
          std::fprintf(stderr, "%s: cannot decode\n", files[i]);
          ++failed;
        }
      }
    });
  }
  for (std::thread& t : pool) t.join();
  return failed == 0 ? 0 : 1;
}
