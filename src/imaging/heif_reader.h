// Reading HEIC, HEIF and AVIF photos with libheif and its decoders (libde265, dav1d, aom):
// the header facts alone, or the whole primary image as the working bitmap.
//
// - The primary image, whatever else the file holds; a grid of tiles comes out as one picture.
// - libheif applies the file's clean aperture, rotation and mirror; the Exif Orientation is
//   then not applied again: `orientation` is 1 and the Exif block's Orientation is set to 1.
// - libheif converts YCbCr to RGB with the matrix and range of the file's nclx description
//   (its colr box, else the bitstream's). Samples deeper than 8 bits are rounded to 8
//   (SampleTo8Bits: round(v * 255 / (2^bits - 1))), not cut as libheif's own 8-bit output is.
// - Alpha is flattened on white (FlattenOnWhite), premultiplied alpha as such.
// - An ICC profile ('prof' or 'rICC') is handed over as stored. Without one, nclx primaries
//   other than BT.709 (sRGB's) or unspecified give a profile made from them (MakeNclxProfile),
//   so the picture's colours travel with it; without either, the samples are taken as sRGB.
//
// Limits: libheif refuses an image item with a side over kMaxHeifSide, and the picture is
// refused beyond `max_pixels` before it is decoded. Tiles are decoded in the calling thread.
// Memory of a decode, per pixel of the picture: the RGB planes libheif makes (3 bytes, 6 for
// deeper samples, one more or two for alpha), a second such set while it rotates, and the
// bitmap (3 * width + width % 4 bytes per row); besides, the compressed data of the image and
// the decoder's pictures of one tile (or of the whole image when it has no tiles).
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decoded_picture.h"

namespace quorvel::imaging {

inline constexpr int kMaxHeifSide = 32768;

// Throw Error: "Cannot open file %s" with the system's reason; "Cannot read image %s" with
// libheif's message as the detail; the size refusal (RefuseOversizedSource) for a picture of
// more than `max_pixels`, before any pixel is decoded.
PictureInfo ReadHeifInfo(const std::string& path);
DecodedPicture DecodeHeifFile(const std::string& path, std::uint64_t max_pixels = kMaxSourcePixels);

// The same from bytes in memory; `name` stands for the file in messages.
PictureInfo ReadHeifInfoBytes(const std::string& bytes, const std::string& name);
DecodedPicture DecodeHeifBytes(const std::string& bytes, const std::string& name,
                               std::uint64_t max_pixels = kMaxSourcePixels);

}  // namespace quorvel::imaging
