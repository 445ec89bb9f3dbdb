#include "support/test_webp.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <stdexcept>

namespace quorvel::testing {
namespace {

void Require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

WebPData View(const std::string& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

}  // namespace

std::string EncodeTestWebp(const TestWebpOptions& o) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(o.width) * o.height * 4);
  for (int y = 0; y < o.height; ++y) {
    for (int x = 0; x < o.width; ++x) {
      for (int c = 0; c < 4; ++c) {
        const int fallback = c == 3 ? 255 : (x * 23 + y * 13 + c * 80) & 0xFF;
        rgba[(static_cast<std::size_t>(y) * o.width + x) * 4 + c] =
            o.sample && (c < 3 || o.alpha) ? o.sample(x, y, c)
                                           : static_cast<std::uint8_t>(fallback);
      }
    }
  }
  WebPConfig config;
  Require(WebPConfigInit(&config), "WebPConfigInit");
  config.lossless = o.lossless ? 1 : 0;
  config.quality = static_cast<float>(o.quality);
  config.exact = 1;  // colours under transparent pixels kept, so expectations stay simple
  WebPPicture picture;
  Require(WebPPictureInit(&picture), "WebPPictureInit");
  picture.use_argb = o.lossless ? 1 : 0;
  picture.width = o.width;
  picture.height = o.height;
  Require(WebPPictureImportRGBA(&picture, rgba.data(), o.width * 4), "WebPPictureImportRGBA");
  WebPMemoryWriter writer;
  WebPMemoryWriterInit(&writer);
  picture.writer = WebPMemoryWrite;
  picture.custom_ptr = &writer;
  const bool ok = WebPEncode(&config, &picture) != 0;
  WebPPictureFree(&picture);
  std::string out(reinterpret_cast<const char*>(writer.mem), writer.size);
  WebPMemoryWriterClear(&writer);
  Require(ok, "WebPEncode");
  return out;
}

std::string EncodeTestWebpFile(const TestWebpFileOptions& o) {
  WebPMux* mux = WebPMuxNew();
  std::vector<std::string> streams;
  for (const TestWebpFrame& frame : o.frames) streams.push_back(EncodeTestWebp(frame.picture));
  bool ok = true;
  if (streams.size() == 1) {
    const WebPData image = View(streams[0]);
    ok = WebPMuxSetImage(mux, &image, 1) == WEBP_MUX_OK;
  } else {
    const WebPMuxAnimParams params{0xFFFFFFFF, 0};
    ok = WebPMuxSetAnimationParams(mux, &params) == WEBP_MUX_OK &&
         WebPMuxSetCanvasSize(mux, o.canvas_width, o.canvas_height) == WEBP_MUX_OK;
    for (std::size_t i = 0; ok && i < streams.size(); ++i) {
      const WebPMuxFrameInfo info{View(streams[i]),
                                  o.frames[i].x_offset,
                                  o.frames[i].y_offset,
                                  100,  // ms
                                  WEBP_CHUNK_ANMF,
                                  WEBP_MUX_DISPOSE_NONE,
                                  WEBP_MUX_BLEND,
                                  {}};
      ok = WebPMuxPushFrame(mux, &info, 1) == WEBP_MUX_OK;
    }
  }
  const WebPData exif = View(o.exif), icc = View(o.icc);
  if (ok && !o.exif.empty()) ok = WebPMuxSetChunk(mux, "EXIF", &exif, 1) == WEBP_MUX_OK;
  if (ok && !o.icc.empty()) ok = WebPMuxSetChunk(mux, "ICCP", &icc, 1) == WEBP_MUX_OK;
  WebPData assembled{};
  ok = ok && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK;
  WebPMuxDelete(mux);
  std::string out(reinterpret_cast<const char*>(assembled.bytes), assembled.size);
  WebPDataClear(&assembled);
  Require(ok, "the WebP muxer could not write the test file");
  return out;
}

}  // namespace quorvel::testing
