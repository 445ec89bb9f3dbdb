// The choice of reader by format.
#include "imaging/picture_reader.h"

#include "imaging/heif_reader.h"
#include "imaging/png_reader.h"
#include "imaging/webp_reader.h"

namespace quorvel::imaging {

bool IsDecodedWhole(ImageFormat format) {
  switch (format) {
    case ImageFormat::Heic:
    case ImageFormat::Heif:
    case ImageFormat::Avif:
    case ImageFormat::Png:
    case ImageFormat::Webp:
      return true;
    case ImageFormat::None:
    case ImageFormat::Jpeg:
      break;
  }
  return false;
}

PictureInfo ReadPictureInfo(const std::string& path, ImageFormat format) {
  switch (format) {
    case ImageFormat::Heic:
    case ImageFormat::Heif:
    case ImageFormat::Avif:
      return ReadHeifInfo(path);
    case ImageFormat::Png:
      return ReadPngInfo(path);
    case ImageFormat::Webp:
      return ReadWebpInfo(path);
    case ImageFormat::None:
    case ImageFormat::Jpeg:
      break;
  }
  throw ReadImageError(path, "not a format read whole");
}

DecodedPicture DecodePicture(const std::string& path, ImageFormat format,
                             std::uint64_t max_pixels) {
  switch (format) {
    case ImageFormat::Heic:
    case ImageFormat::Heif:
    case ImageFormat::Avif:
      return DecodeHeifFile(path, max_pixels);
    case ImageFormat::Png:
      return DecodePngFile(path, max_pixels);
    case ImageFormat::Webp:
      return DecodeWebpFile(path, max_pixels);
    case ImageFormat::None:
    case ImageFormat::Jpeg:
      break;
  }
  throw ReadImageError(path, "not a format read whole");
}

}  // namespace quorvel::imaging
