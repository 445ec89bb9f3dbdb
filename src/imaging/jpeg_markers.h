// The markers a header read keeps, through libjpeg's marker processors instead of its saved-marker
// list (jpeg_save_markers), which is walked from its head for every marker added: 100,000 empty
// APP1 markers then cost minutes. Here each marker costs one look at its first bytes, and only
// what the program uses is copied: the first Exif block, the chunks of one ICC profile up to
// kMaxCarriedProfileBytes, the first comment. Shared by the decoder and the header reader.
#pragma once

#include <cstdio>
// After cstdio, which it needs.
#include <jpeglib.h>

#include <cstddef>
#include <string>

namespace quorvel::imaging {

// What a header read keeps.
struct MarkersWanted {
  bool exif = false;
  bool profile = false;  // the profile's bytes; otherwise only whether a chunk is there
  bool comment = false;
};

// Plain data, so that it may live in a frame a longjmp leaves. Copies are made in libjpeg's
// image pool, released with the decompress object.
struct KeptMarkers {
  // What to keep, from MarkersWanted.
  bool exif_wanted;
  bool profile_wanted;
  bool comment_wanted;
  std::size_t max_profile_bytes;  // a larger profile is left out (oversized)

  // Set by jpeg_read_header's caller once it returns: later markers (between scans) are skipped.
  bool header_read;

  JOCTET* exif;  // the first APP1 payload that starts "Exif\0\0", or null
  unsigned int exif_size;

  bool profile_seen;    // an APP2 chunk that starts "ICC_PROFILE\0"
  bool profile_broken;  // chunks that disagree on their count, or a number twice or out of range
  int profile_chunks;   // the count the chunks announce
  JOCTET* chunk[256];   // by number, 1 to 255; null when absent or not kept
  unsigned int chunk_size[256];
  bool chunk_seen[256];
  std::size_t profile_size;  // the data of every chunk so far
  JOCTET profile_head[128];  // the start of chunk 1, kept even for an oversized profile
  unsigned int profile_head_size;

  char comment[64];  // the first COM marker, when it fits
  int comment_size;  // -1 when there is none or it is longer
};

// Installs the marker processors for APP1, APP2 and COM on `cinfo` (before jpeg_read_header);
// `kept` is the cinfo's client_data from then on and must outlive the object. Only sources that
// never suspend are supported.
void KeepMarkers(jpeg_decompress_struct& cinfo, KeptMarkers& kept, const MarkersWanted& wanted,
                 std::size_t max_profile_bytes);

// The Exif block as bytes starting "Exif\0\0"; empty when none.
std::string KeptExif(const KeptMarkers& kept);

struct KeptProfile {
  std::string bytes;           // reassembled in chunk order; empty when absent, broken, oversized
  std::size_t oversized = 0;   // the size of a whole profile larger than the limit, else 0
  bool oversized_rgb = false;  // whether that profile describes RGB data (DescribesRgb)
};

// The ICC profile as jpeg_read_icc_profile reassembles it: every chunk from 1 to the count
// once, all announcing the same count, with some data.
KeptProfile KeptIccProfile(const KeptMarkers& kept);

// The first comment, when there is one of at most sizeof comment bytes; else empty.
std::string KeptComment(const KeptMarkers& kept);

}  // namespace quorvel::imaging
