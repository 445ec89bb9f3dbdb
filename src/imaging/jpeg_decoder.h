// Decoding a JPEG stream with libjpeg straight into the working bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decode_limits.h"
#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// The size refusal: throws Error naming `name` when width x height is more than `max_pixels`.
void RefuseOversizedSource(const std::string& name, int width, int height,
                           std::uint64_t max_pixels = kMaxSourcePixels);

// What of the source's markers a thumbnail may carry on, copied out while decoding.
struct SourceMarkers {
  std::string icc_profile;  // the ICC profile reassembled from its APP2 chunks
  // The size of an RGB profile left out because it is larger than the limit, else 0.
  std::size_t oversized_rgb_profile = 0;
};

// Receives a decode as it goes: the header first, then the pixels in batches of rows, so a
// caller that only needs a reduced picture never holds the full-size frame.
class ScanlineConsumer {
 public:
  virtual ~ScanlineConsumer() = default;
  // Once the header and the markers are read: the DCT scale denominator to decode at, 1, 2, 4
  // or 8. May throw Error to refuse the image.
  virtual int ChooseScale(int width, int height, const SourceMarkers& markers) = 0;
  // The size the rows arrive at: the header's size divided by the scale, rounded up.
  virtual void Begin(int width, int height) = 0;
  // `count` consecutive rows starting at row `first`, each `width` pixels blue, green, red.
  virtual void TakeRows(int first, const std::uint8_t* const* rows, int count) = 0;
};

// Most rows handed to TakeRows at once.
inline constexpr int kRowBatch = 16;

// Block smoothing on. Gray files go through the one-pass quantiser with 236 colours; CMYK and
// YCCK are converted to colour. Only the ICC profile's chunks of the markers are kept.
// Throws Error: "Cannot open file %s" (the system's reason as detail), "JPEG error #%d", or a
// refusal by `limits` naming `name`: the announced size and the memory the header announces
// (both checked before ChooseScale, before any pixel memory), the scans, the stop flag.
// Returns libjpeg's warnings as one message (LibjpegWarnings), empty when there were none.
std::string DecodeJpegFileRows(const std::string& path, ScanlineConsumer& consumer,
                               const DecodeLimits& limits = {});
std::string DecodeJpegBytesRows(const std::string& bytes, const std::string& name,
                                ScanlineConsumer& consumer, const DecodeLimits& limits = {});

// The whole picture at full scale into `bitmap`, replaced only on success; with `markers`,
// the ICC profile too, also replaced only on success.
void DecodeJpegFile(const std::string& path, TFastBmp& bitmap, SourceMarkers* markers = nullptr);
// `limits` lower the refusals for callers that must stay small (the fuzz entry).
void DecodeJpegBytes(const std::string& bytes, const std::string& name, TFastBmp& bitmap,
                     SourceMarkers* markers = nullptr, const DecodeLimits& limits = {});

// The same decode with libjpeg's own gray quantiser, which DitherGrayRow reproduces; the tests
// hold the two to each other.
void DecodeJpegBytesWithLibraryGray(const std::string& bytes, TFastBmp& bitmap);

}  // namespace quorvel::imaging
