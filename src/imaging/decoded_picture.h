// What the readers of HEIF, PNG and WebP photos give: the header facts a run plans with, and
// the whole picture as the working bitmap, with the rules every reader shares (alpha on white,
// deep samples to 8 bits, the Exif block's form, the failure's message).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "imaging/decode_limits.h"
#include "imaging/fast_bmp.h"
#include "job/error.h"

namespace quorvel::imaging {

// A photo's header, read without decoding a pixel.
struct PictureInfo {
  // The size of the bitmap a whole decode gives: for HEIF after its own rotation and mirror.
  int width = 0;
  int height = 0;
  // The Exif Orientation still to apply after resampling, as for a JPEG: from PNG's eXIf and
  // WebP's EXIF chunk; always 1 for HEIF, whose transformations the decode has applied.
  int orientation = 1;
  // `icc_profile` describes RGB data (DescribesRgb).
  bool rgb_profile = false;
  bool has_alpha = false;
  int bit_depth = 8;  // bits per sample in the file (PNG 1 to 16, HEIF 8 to 16, WebP 8)
  // The most heap a whole decode of this file takes, bitmap included (the reader's own rule of
  // bytes per pixel plus the file's bytes where it is held), for a memory budget.
  std::uint64_t decode_bytes = 0;
  // "Exif\0\0" followed by the TIFF structure, as a JPEG's APP1 payload, whatever form the
  // file keeps it in (for HEIF with its Orientation set to 1); empty when absent.
  std::string exif;
  // The ICC profile as stored (PNG iCCP inflated, WebP ICCP, HEIF 'prof' or 'rICC'), or for
  // HEIF a profile made from the nclx primaries (MakeNclxProfile); empty when absent.
  std::string icc_profile;
};

// A whole picture: blue, green, red, 8 bits, rows top-down with TFastBmp's stride.
struct DecodedPicture {
  TFastBmp bitmap;
  PictureInfo info;  // the header facts of the same file
};

// A deep sample to 8 bits: round(value * 255 / (2^bits - 1)), ties up.
std::uint8_t SampleTo8Bits(unsigned value, int bits);

// Alpha flattened on white: round(c * a / 255 + 255 * (255 - a) / 255), ties up; for
// premultiplied samples round(c + 255 - a), kept within 255. `bgra` holds `width` pixels of
// blue, green, red, alpha; `bgr` receives `width` pixels.
void FlattenOnWhite(const std::uint8_t* bgra, int width, bool premultiplied, std::uint8_t* bgr);

// An Exif block as the readers give it: "Exif\0\0" + TIFF from a block that is the TIFF
// structure alone or already has the prefix; empty when `block` does not start like either.
std::string ExifBlock(std::string_view block);

// The failure of a reader: "Cannot read image %s" naming the file, the library's own words as
// the detail.
Error ReadImageError(const std::string& name, const std::string& detail);

// The sum, or UINT64_MAX when it does not fit.
std::uint64_t AddBytes(std::uint64_t a, std::uint64_t b);
// width x height x bytes_per_pixel, or UINT64_MAX when it does not fit.
std::uint64_t PixelBytes(int width, int height, unsigned bytes_per_pixel);

}  // namespace quorvel::imaging
