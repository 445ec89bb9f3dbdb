// Header reading with libjpeg. Its error exit leaves through longjmp into ReadFrame, whose frame
// holds plain data only; the failure becomes an Error before control leaves this file.
#include "imaging/jpeg_header.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "imaging/exif_orientation.h"
#include "imaging/icc_profile.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_markers.h"
#include "imaging/libjpeg_errors.h"
#include "imaging/libjpeg_limits.h"
#include "job/error.h"
#include "platform/file_system.h"

namespace quorvel::imaging {
namespace {

enum class Markers { Source, Thumbnail };

// libjpeg's source over a plain descriptor: one open and one read for most headers. Empty and
// short files behave exactly as with libjpeg's stdio source, which the decoder uses.
struct DescriptorSource {
  jpeg_source_mgr pub;
  int fd;
  bool started;
  JOCTET buffer[16384];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
  DescriptorSource* src = reinterpret_cast<DescriptorSource*>(cinfo->src);
  long n = platform::ReadFile(src->fd, src->buffer, sizeof src->buffer);
  if (n <= 0) {
    if (!src->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = static_cast<std::size_t>(n);
  src->started = true;
  return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    FillInput(cinfo);
  }
  if (count > 0) {
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<std::size_t>(count);
  }
}

// Everything a longjmp can skip over is plain data.
struct HeaderFrame {
  jpeg_decompress_struct cinfo;
  LibjpegErrors error;
  DescriptorSource source;
  KeptMarkers kept;
  bool created;
};

bool ReadFrame(HeaderFrame& f, Markers markers, std::size_t max_profile_bytes) {
  f.cinfo.err = InstallLibjpegErrors(f.error);
  if (setjmp(f.error.jump) != 0) return false;
  jpeg_create_decompress(&f.cinfo);
  f.created = true;
  f.source.pub = {nullptr, 0, InitSource, FillInput, SkipInput, jpeg_resync_to_restart, TermSource};
  f.cinfo.src = &f.source.pub;
  const bool source = markers == Markers::Source;
  KeepMarkers(f.cinfo, f.kept, {.exif = source, .profile = source, .comment = !source},
              max_profile_bytes);
  jpeg_read_header(&f.cinfo, TRUE);
  f.kept.header_read = true;
  return true;
}

struct FrameRelease {
  HeaderFrame& frame;
  ~FrameRelease() {
    if (frame.created) jpeg_destroy_decompress(&frame.cinfo);
    if (frame.source.fd >= 0) platform::CloseFile(frame.source.fd);
  }
};

QuantTable TableOf(const JQUANT_TBL* table) {
  QuantTable values{};
  if (table != nullptr) {
    for (int i = 0; i < DCTSIZE2; ++i) values[i] = static_cast<std::uint16_t>(table->quantval[i]);
  }
  return values;
}

}  // namespace

SourceHeader ReadSourceHeader(const std::string& path, const DecodeLimits& limits) {
  HeaderFrame frame{};
  FrameRelease release{frame};
  int error = 0;
  platform::FileStatus status;
  frame.source.fd = platform::OpenRegularFile(path, error, status);
  if (frame.source.fd < 0) {
    throw Error(FormatMessage("Cannot open file %s", path), platform::ErrorText(error));
  }
  if (!ReadFrame(frame, Markers::Source, limits.max_profile_bytes)) {
    throw LibjpegError(frame.error);
  }
  const jpeg_decompress_struct& c = frame.cinfo;
  SourceHeader header;
  header.file_size = status.size;
  header.modified = status.modified;
  header.width = static_cast<int>(c.image_width);
  header.height = static_cast<int>(c.image_height);
  header.components = c.num_components;
  RefuseOversizedSource(path, header.width, header.height, limits.max_pixels);
  RefuseOverBudget(path, c, limits);
  const std::string exif = KeptExif(frame.kept);
  header.orientation = ReadExifOrientation(exif);
  header.details = ReadExifDetails(exif);
  header.rgb_profile = DescribesRgb(KeptIccProfile(frame.kept).bytes);
  return header;
}

std::optional<ThumbnailHeader> ReadThumbnailHeader(const std::string& path) {
  HeaderFrame frame{};
  FrameRelease release{frame};
  int error = 0;
  platform::FileStatus status;
  frame.source.fd = platform::OpenRegularFile(path, error, status);
  if (frame.source.fd < 0 || !ReadFrame(frame, Markers::Thumbnail, 0)) return std::nullopt;
  const jpeg_decompress_struct& c = frame.cinfo;
  ThumbnailHeader header;
  header.modified = status.modified;
  header.width = static_cast<int>(c.image_width);
  header.height = static_cast<int>(c.image_height);
  header.components = c.num_components;
  for (int i = 0; i < 2 && i < c.num_components; ++i) {
    const int slot = c.comp_info[i].quant_tbl_no;
    if (slot >= 0 && slot < NUM_QUANT_TBLS) header.tables[i] = TableOf(c.quant_tbl_ptrs[slot]);
  }
  header.profile = frame.kept.profile_seen;
  header.mark = ReadMarkComment(KeptComment(frame.kept));
  return header;
}

std::array<QuantTable, 2> ExpectedQuantTables(int quality) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  // Nothing below can fail for a quality clamped to 1..100; libjpeg's default exit stays.
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  const std::array<QuantTable, 2> tables = {TableOf(cinfo.quant_tbl_ptrs[0]),
                                            TableOf(cinfo.quant_tbl_ptrs[1])};
  jpeg_destroy_compress(&cinfo);
  return tables;
}

}  // namespace quorvel::imaging
