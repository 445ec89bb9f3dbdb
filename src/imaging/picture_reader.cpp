// The choice of reader by format.
#include "imaging/picture_reader.h"

#include "imaging/heif_reader.h"
#include "imaging/icc_profile.h"
#include "imaging/png_reader.h"
#include "imaging/webp_reader.h"
#include "job/error.h"
#include "platform/file_system.h"

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

SourceHeader ReadPictureSourceHeader(const std::string& path, ImageFormat format,
                                     const DecodeLimits& limits) {
  int error = 0;
  platform::FileStatus status;
  const int fd = platform::OpenRegularFile(path, error, status);
  if (fd < 0) throw Error(FileErrorMessage("Cannot open file %s", path, error));
  platform::CloseFile(fd);
  const PictureInfo info = ReadPictureInfo(path, format);
  if (info.decode_bytes > limits.memory_budget) {
    throw OverBudgetError(path, info.decode_bytes, std::string(FormatLabel(format)), info.width,
                          info.height, limits.memory_budget);
  }
  SourceHeader header;
  header.file_size = status.size;
  header.modified = status.modified;
  header.width = info.width;
  header.height = info.height;
  header.components = 3;
  header.orientation = info.orientation;
  header.details = ReadExifDetails(info.exif);
  header.rgb_profile = info.rgb_profile && info.icc_profile.size() <= limits.max_profile_bytes;
  return header;
}

}  // namespace quorvel::imaging
