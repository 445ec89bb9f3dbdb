// Decoding a JPEG stream with libjpeg straight into the working bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// Larger images are refused before any pixel memory is allocated.
inline constexpr std::uint64_t kMaxSourcePixels = 400ull * 1000 * 1000;

// The size refusal: throws Error naming `name` when width x height is more than `max_pixels`.
void RefuseOversizedSource(const std::string& name, int width, int height,
                           std::uint64_t max_pixels = kMaxSourcePixels);

// Metadata blocks of the source that a thumbnail may carry on, copied out while decoding.
struct SourceMarkers {
  std::string exif;         // the first APP1 payload that starts "Exif\0\0", header included
  std::string icc_profile;  // the ICC profile reassembled from its APP2 chunks
};

// Receives a decode as it goes: the header first, then the pixels in batches of rows, so a
// caller that only needs a reduced picture never holds the full-size frame.
class ScanlineConsumer {
 public:
  virtual ~ScanlineConsumer() = default;
  // Once the header (and the markers, when asked for) are read: the DCT scale denominator to
  // decode at, 1, 2, 4 or 8. May throw Error to refuse the image.
  virtual int ChooseScale(int width, int height, const SourceMarkers& markers) = 0;
  // The size the rows arrive at: the header's size divided by the scale, rounded up.
  virtual void Begin(int width, int height) = 0;
  // `count` consecutive rows starting at row `first`, each `width` pixels blue, green, red.
  virtual void TakeRows(int first, const std::uint8_t* const* rows, int count) = 0;
};

// Most rows handed to TakeRows at once.
inline constexpr int kRowBatch = 16;

// Block smoothing on. Gray files go through the one-pass quantiser with 236 colours; CMYK and
// YCCK are converted to colour. libjpeg's warnings are ignored.
// Throws Error: "Cannot open file %s", "JPEG error #%d", or an image-size refusal naming
// `name` and the announced size (checked before ChooseScale, before any pixel memory).
// With `want_markers`, the Exif and ICC blocks are copied out (each left empty when absent or
// malformed) and given to ChooseScale; otherwise it sees them empty.
void DecodeJpegFileRows(const std::string& path, ScanlineConsumer& consumer, bool want_markers);
void DecodeJpegBytesRows(const std::string& bytes, const std::string& name,
                         ScanlineConsumer& consumer, bool want_markers,
                         std::uint64_t max_pixels = kMaxSourcePixels);

// The whole picture at full scale into `bitmap`, replaced only on success; with `markers`,
// the Exif and ICC blocks too, also replaced only on success.
void DecodeJpegFile(const std::string& path, TFastBmp& bitmap, SourceMarkers* markers = nullptr);
// `max_pixels` lowers the size refusal for callers that must stay small (the fuzz entry).
void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap,
                     SourceMarkers* markers = nullptr, std::uint64_t max_pixels = kMaxSourcePixels);

// The same decode with libjpeg's own gray quantiser, which DitherGrayRow reproduces; the tests
// hold the two to each other.
void DecodeJpegBytesWithLibraryGray(const std::string& bytes, TFastBmp& bitmap);

}  // namespace quorvel::imaging
