#include "imaging/jpeg_markers.h"

#include <algorithm>
#include <cstring>
// After jpeglib.h, which it needs.
#include <jerror.h>

#include "imaging/icc_profile.h"

namespace quorvel::imaging {
namespace {

constexpr char kExifHeader[] = "Exif\0";              // with the terminator: six bytes
constexpr char kIccHeader[] = "ICC_PROFILE";          // with the terminator: twelve bytes
constexpr long kIccOverhead = sizeof kIccHeader + 2;  // the header, the number and the count

KeptMarkers& Kept(j_decompress_ptr cinfo) { return *static_cast<KeptMarkers*>(cinfo->client_data); }

// Copies `count` bytes of the marker from the source. The sources here never suspend: at the
// end of the data they insert an EOI with a warning.
void ReadBytes(j_decompress_ptr cinfo, JOCTET* out, long count) {
  jpeg_source_mgr* src = cinfo->src;
  while (count > 0) {
    if (src->bytes_in_buffer == 0 && !(*src->fill_input_buffer)(cinfo)) {
      ERREXIT(cinfo, JERR_CANT_SUSPEND);
    }
    const long take = std::min<long>(count, static_cast<long>(src->bytes_in_buffer));
    std::memcpy(out, src->next_input_byte, static_cast<std::size_t>(take));
    src->next_input_byte += take;
    src->bytes_in_buffer -= static_cast<std::size_t>(take);
    out += take;
    count -= take;
  }
}

void SkipBytes(j_decompress_ptr cinfo, long count) {
  if (count > 0) (*cinfo->src->skip_input_data)(cinfo, count);
}

// The marker's data length, its length field left out (0 for a length field below 2).
long DataLength(j_decompress_ptr cinfo) {
  JOCTET field[2];
  ReadBytes(cinfo, field, 2);
  return std::max(0L, (static_cast<long>(field[0]) << 8) + field[1] - 2);
}

JOCTET* Allocate(j_decompress_ptr cinfo, long size) {
  return static_cast<JOCTET*>((*cinfo->mem->alloc_large)(reinterpret_cast<j_common_ptr>(cinfo),
                                                         JPOOL_IMAGE, static_cast<size_t>(size)));
}

boolean KeepApp1(j_decompress_ptr cinfo) {
  KeptMarkers& kept = Kept(cinfo);
  long length = DataLength(cinfo);
  const long header = sizeof kExifHeader;
  if (kept.exif_wanted && kept.exif == nullptr && !kept.header_read && length >= header) {
    JOCTET start[sizeof kExifHeader];
    ReadBytes(cinfo, start, header);
    length -= header;
    if (std::memcmp(start, kExifHeader, sizeof kExifHeader) == 0) {
      kept.exif = Allocate(cinfo, header + length);
      std::memcpy(kept.exif, start, sizeof start);
      ReadBytes(cinfo, kept.exif + header, length);
      kept.exif_size = static_cast<unsigned int>(header + length);
      return TRUE;
    }
  }
  SkipBytes(cinfo, length);
  return TRUE;
}

// Bookkeeping of one chunk as jpeg_read_icc_profile checks it; false when the chunk breaks the
// sequence.
bool TakeChunk(KeptMarkers& kept, int number, int count) {
  if (kept.profile_chunks == 0) kept.profile_chunks = count;
  if (count != kept.profile_chunks || number <= 0 || number > count || kept.chunk_seen[number]) {
    return false;
  }
  kept.chunk_seen[number] = true;
  return true;
}

boolean KeepApp2(j_decompress_ptr cinfo) {
  KeptMarkers& kept = Kept(cinfo);
  long length = DataLength(cinfo);
  if (kept.header_read || length < kIccOverhead) {
    SkipBytes(cinfo, length);
    return TRUE;
  }
  JOCTET start[kIccOverhead];
  ReadBytes(cinfo, start, kIccOverhead);
  length -= kIccOverhead;
  if (std::memcmp(start, kIccHeader, sizeof kIccHeader) != 0) {
    SkipBytes(cinfo, length);
    return TRUE;
  }
  kept.profile_seen = true;
  const int number = start[kIccOverhead - 2];
  if (!kept.profile_wanted || kept.profile_broken) {
    SkipBytes(cinfo, length);
    return TRUE;
  }
  if (!TakeChunk(kept, number, start[kIccOverhead - 1])) {
    kept.profile_broken = true;  // no profile then, as with jpeg_read_icc_profile
    SkipBytes(cinfo, length);
    return TRUE;
  }
  kept.chunk_size[number] = static_cast<unsigned int>(length);
  kept.profile_size += static_cast<std::size_t>(length);
  if (number == 1) {
    const long head = std::min<long>(length, sizeof kept.profile_head);
    ReadBytes(cinfo, kept.profile_head, head);
    kept.profile_head_size = static_cast<unsigned int>(head);
    if (kept.profile_size <= kept.max_profile_bytes) {
      kept.chunk[number] = Allocate(cinfo, std::max(1L, length));
      std::memcpy(kept.chunk[number], kept.profile_head, static_cast<std::size_t>(head));
      ReadBytes(cinfo, kept.chunk[number] + head, length - head);
    } else {
      SkipBytes(cinfo, length - head);
    }
  } else if (kept.profile_size <= kept.max_profile_bytes) {
    kept.chunk[number] = Allocate(cinfo, std::max(1L, length));
    ReadBytes(cinfo, kept.chunk[number], length);
  } else {
    SkipBytes(cinfo, length);
  }
  return TRUE;
}

boolean KeepComment(j_decompress_ptr cinfo) {
  KeptMarkers& kept = Kept(cinfo);
  long length = DataLength(cinfo);
  if (kept.comment_wanted && kept.comment_size < 0 && !kept.header_read &&
      length <= static_cast<long>(sizeof kept.comment)) {
    ReadBytes(cinfo, reinterpret_cast<JOCTET*>(kept.comment), length);
    kept.comment_size = static_cast<int>(length);
    length = 0;
  }
  kept.comment_wanted = false;  // only the first comment counts
  SkipBytes(cinfo, length);
  return TRUE;
}

}  // namespace

void KeepMarkers(jpeg_decompress_struct& cinfo, KeptMarkers& kept, const MarkersWanted& wanted,
                 std::size_t max_profile_bytes) {
  std::memset(&kept, 0, sizeof kept);
  kept.exif_wanted = wanted.exif;
  kept.profile_wanted = wanted.profile;
  kept.comment_wanted = wanted.comment;
  kept.max_profile_bytes = max_profile_bytes;
  kept.comment_size = -1;
  cinfo.client_data = &kept;
  jpeg_set_marker_processor(&cinfo, JPEG_APP0 + 1, KeepApp1);
  jpeg_set_marker_processor(&cinfo, JPEG_APP0 + 2, KeepApp2);
  jpeg_set_marker_processor(&cinfo, JPEG_COM, KeepComment);
}

std::string KeptExif(const KeptMarkers& kept) {
  if (kept.exif == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(kept.exif), kept.exif_size);
}

KeptProfile KeptIccProfile(const KeptMarkers& kept) {
  KeptProfile profile;
  if (kept.profile_broken || kept.profile_chunks == 0 || kept.profile_size == 0) return profile;
  for (int n = 1; n <= kept.profile_chunks; ++n) {
    if (!kept.chunk_seen[n]) return profile;
  }
  if (kept.profile_size > kept.max_profile_bytes) {
    profile.oversized = kept.profile_size;
    profile.oversized_rgb = DescribesRgb(
        std::string_view(reinterpret_cast<const char*>(kept.profile_head), kept.profile_head_size));
    return profile;
  }
  profile.bytes.reserve(kept.profile_size);
  for (int n = 1; n <= kept.profile_chunks; ++n) {
    profile.bytes.append(reinterpret_cast<const char*>(kept.chunk[n]), kept.chunk_size[n]);
  }
  return profile;
}

std::string KeptComment(const KeptMarkers& kept) {
  if (kept.comment_size < 0) return {};
  return std::string(kept.comment, static_cast<std::size_t>(kept.comment_size));
}

}  // namespace quorvel::imaging
