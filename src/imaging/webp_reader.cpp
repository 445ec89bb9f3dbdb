// The only file that includes libwebp's headers. The demuxer finds the first frame and the
// ICCP and EXIF chunks; the decoder writes straight into the bitmap when the frame is opaque
// and covers the canvas, else into a BGRA buffer flattened on white.
#include "imaging/webp_reader.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "imaging/exif_orientation.h"
#include "imaging/icc_profile.h"
#include "imaging/jpeg_decoder.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

// The lossy decoder's row caches and the demuxer's tables, rounded up.
constexpr std::uint64_t kLibraryBytes = 1 << 20;

struct DemuxRelease {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
using Demux = std::unique_ptr<WebPDemuxer, DemuxRelease>;

// libwebp reports by status codes only; these are their names in words.
const char* StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OK:
      return "ok";
    case VP8_STATUS_OUT_OF_MEMORY:
      return "out of memory";
    case VP8_STATUS_INVALID_PARAM:
      return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR:
      return "bitstream error";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return "unsupported feature";
    case VP8_STATUS_SUSPENDED:
      return "suspended";
    case VP8_STATUS_USER_ABORT:
      return "user abort";
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return "not enough data";
  }
  return "unknown status";
}

// The first frame of the parsed file (its payload points into the file's bytes) and what the
// file says.
struct Frame {
  WebPData payload{};
  int x_offset = 0;
  int y_offset = 0;
  int width = 0;
  int height = 0;
};
struct Parsed {
  Frame frame;
  WebPBitstreamFeatures features{};
  PictureInfo info;
  bool covers_canvas = false;
};

std::string Chunk(const WebPDemuxer* demux, const char* fourcc) {
  WebPChunkIterator chunk{};
  std::string bytes;
  if (WebPDemuxGetChunk(demux, fourcc, 1, &chunk)) {
    bytes.assign(reinterpret_cast<const char*>(chunk.chunk.bytes), chunk.chunk.size);
  }
  WebPDemuxReleaseChunkIterator(&chunk);
  return bytes;
}

std::uint64_t DecodeBytes(const Parsed& p, std::size_t file_size) {
  const PictureInfo& info = p.info;
  const bool lossless = p.features.format == 2;
  std::uint64_t bytes = AddBytes(file_size, kLibraryBytes);
  bytes = AddBytes(bytes, PixelBytes(TFastBmp::StrideFor(info.width), info.height, 1));
  // The BGRA buffer of a frame with alpha or a part of the canvas, then libwebp's own.
  const bool buffered = p.features.has_alpha || !p.covers_canvas;
  bytes = AddBytes(bytes, PixelBytes(p.frame.width, p.frame.height, buffered ? 4 : 0));
  const unsigned own = lossless ? 4 : (p.features.has_alpha ? 1 : 0);
  return AddBytes(bytes, PixelBytes(p.frame.width, p.frame.height, own));
}

Parsed Parse(const std::string& bytes, const std::string& name) {
  const WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
  WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
  const Demux demux(WebPDemuxPartial(&data, &state));
  if (demux == nullptr || state != WEBP_DEMUX_DONE) {
    // The decoder's own check names best what is wrong with a file that is no WebP at all.
    WebPBitstreamFeatures features{};
    const VP8StatusCode status = WebPGetFeatures(data.bytes, data.size, &features);
    if (status != VP8_STATUS_OK) throw ReadImageError(name, StatusText(status));
    throw ReadImageError(name, state == WEBP_DEMUX_PARSE_ERROR
                                   ? "invalid chunk structure"
                                   : StatusText(VP8_STATUS_NOT_ENOUGH_DATA));
  }
  Parsed p;
  p.info.width = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
  p.info.height = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
  WebPIterator first{};
  const bool found = WebPDemuxGetFrame(demux.get(), 1, &first) != 0;
  p.frame = {first.fragment, first.x_offset, first.y_offset, first.width, first.height};
  WebPDemuxReleaseIterator(&first);
  if (!found) throw ReadImageError(name, "no frame");
  const VP8StatusCode status =
      WebPGetFeatures(p.frame.payload.bytes, p.frame.payload.size, &p.features);
  if (status != VP8_STATUS_OK) throw ReadImageError(name, StatusText(status));
  p.covers_canvas = p.frame.x_offset == 0 && p.frame.y_offset == 0 &&
                    p.frame.width == p.info.width && p.frame.height == p.info.height;
  p.info.has_alpha = p.features.has_alpha || !p.covers_canvas;
  p.info.icc_profile = Chunk(demux.get(), "ICCP");
  p.info.exif = ExifBlock(Chunk(demux.get(), "EXIF"));
  p.info.orientation = ReadExifOrientation(p.info.exif);
  p.info.rgb_profile = DescribesRgb(p.info.icc_profile);
  p.info.decode_bytes = DecodeBytes(p, bytes.size());
  RefuseOversizedSource(name, p.info.width, p.info.height);
  return p;
}

// Decodes the first frame into `bitmap`, which has the canvas's size.
VP8StatusCode DecodeFrame(const Parsed& p, TFastBmp& bitmap) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return VP8_STATUS_INVALID_PARAM;
  config.output.is_external_memory = 1;
  const Frame& frame = p.frame;
  if (!p.features.has_alpha && p.covers_canvas) {
    config.output.colorspace = MODE_BGR;
    config.output.u.RGBA.rgba = bitmap.Row(0);
    config.output.u.RGBA.stride = bitmap.Stride();
    config.output.u.RGBA.size = bitmap.PixelBlockSize();
    return WebPDecode(frame.payload.bytes, frame.payload.size, &config);
  }
  const std::size_t row_bytes = static_cast<std::size_t>(frame.width) * 4;
  std::vector<std::uint8_t> bgra(row_bytes * static_cast<std::size_t>(frame.height));
  config.output.colorspace = MODE_BGRA;
  config.output.u.RGBA.rgba = bgra.data();
  config.output.u.RGBA.stride = static_cast<int>(row_bytes);
  config.output.u.RGBA.size = bgra.size();
  const VP8StatusCode status = WebPDecode(frame.payload.bytes, frame.payload.size, &config);
  if (status != VP8_STATUS_OK) return status;
  // The canvas starts transparent, which shows as white.
  for (int y = 0; y < bitmap.Height(); ++y) std::fill_n(bitmap.Row(y), 3 * bitmap.Width(), 0xFF);
  for (int y = 0; y < frame.height; ++y) {
    FlattenOnWhite(bgra.data() + row_bytes * static_cast<std::size_t>(y), frame.width, false,
                   bitmap.Row(frame.y_offset + y) + 3 * frame.x_offset);
  }
  return VP8_STATUS_OK;
}

// The whole file, refused unread beyond kMaxWebpFileBytes.
std::string ReadWebpFile(const std::string& path) {
  int error = 0;
  platform::FileStatus status;
  const int fd = platform::OpenRegularFile(path, error, status);
  if (fd < 0) throw Error(FileErrorMessage("Cannot open file %s", path, error));
  struct Close {
    int fd;
    ~Close() { platform::CloseFile(fd); }
  } close{fd};
  if (status.size > kMaxWebpFileBytes) {
    throw ReadImageError(path, "a file of " + std::to_string(status.size) +
                                   " bytes, more than the " +
                                   std::to_string(kMaxWebpFileBytes >> 20) + " MB accepted");
  }
  std::string bytes(status.size, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const long n = platform::ReadFile(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) throw Error(FileErrorMessage("Cannot read file %s", path, errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

PictureInfo ReadWebpInfoBytes(const std::string& bytes, const std::string& name) {
  return Parse(bytes, name).info;
}

DecodedPicture DecodeWebpBytes(const std::string& bytes, const std::string& name,
                               std::uint64_t max_pixels) {
  Parsed parsed = Parse(bytes, name);
  DecodedPicture picture;
  RefuseOversizedSource(name, parsed.info.width, parsed.info.height, max_pixels);
  picture.bitmap = TFastBmp(parsed.info.width, parsed.info.height);
  const VP8StatusCode status = DecodeFrame(parsed, picture.bitmap);
  if (status != VP8_STATUS_OK) throw ReadImageError(name, StatusText(status));
  picture.info = std::move(parsed.info);
  return picture;
}

PictureInfo ReadWebpInfo(const std::string& path) {
  return ReadWebpInfoBytes(ReadWebpFile(path), path);
}

DecodedPicture DecodeWebpFile(const std::string& path, std::uint64_t max_pixels) {
  return DecodeWebpBytes(ReadWebpFile(path), path, max_pixels);
}

}  // namespace quorvel::imaging
