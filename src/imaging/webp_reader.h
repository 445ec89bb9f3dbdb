// Reading WebP photos with libwebp and its demuxer: the header facts alone, or the whole
// picture as the working bitmap. Lossy and lossless files alike give 8-bit blue, green, red;
// alpha is flattened on white (FlattenOnWhite). An animated file gives its first frame as
// it first appears: on the canvas, the parts the frame leaves uncovered white. The ICCP chunk
// is handed over, and the EXIF chunk gives the orientation still to apply.
//
// The file is read whole, also for the header alone; larger than kMaxWebpFileBytes it is
// refused unread. Memory of a decode: the file, the bitmap (3 * width + width % 4 bytes per
// row), for a frame with alpha or one smaller than the canvas 4 bytes per frame pixel, and
// libwebp's own buffers: 4 bytes per pixel for a lossless frame (it decodes the whole frame
// before handing rows over), 1 for the alpha plane of a lossy one.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/decoded_picture.h"

namespace quorvel::imaging {

inline constexpr std::uint64_t kMaxWebpFileBytes = 512ull << 20;

// Throw Error: "Cannot open file %s" with the system's reason; "Cannot read image %s" with
// libwebp's status (or the demuxer's) as the detail, also for a file larger than
// kMaxWebpFileBytes; the size refusal (RefuseOversizedSource) for a canvas of more than
// `max_pixels`, before any pixel memory is taken.
PictureInfo ReadWebpInfo(const std::string& path);
DecodedPicture DecodeWebpFile(const std::string& path, std::uint64_t max_pixels = kMaxSourcePixels);

// The same from bytes in memory; `name` stands for the file in messages.
PictureInfo ReadWebpInfoBytes(const std::string& bytes, const std::string& name);
DecodedPicture DecodeWebpBytes(const std::string& bytes, const std::string& name,
                               std::uint64_t max_pixels = kMaxSourcePixels);

}  // namespace quorvel::imaging
