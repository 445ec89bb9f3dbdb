#include "job/image_formats.h"

#include <algorithm>
#include <array>
#include <utility>

#include "job/path_names.h"

namespace quorvel {
namespace {

constexpr std::array<std::pair<std::string_view, ImageFormat>, 7> kExtensions = {{
    {".jpg", ImageFormat::Jpeg},
    {".jpeg", ImageFormat::Jpeg},
    {".heic", ImageFormat::Heic},
    {".heif", ImageFormat::Heif},
    {".avif", ImageFormat::Avif},
    {".png", ImageFormat::Png},
    {".webp", ImageFormat::Webp},
}};

}  // namespace

ImageFormat FormatOfName(std::string_view fileName) {
  std::string ext = Extension(fileName);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const auto& [extension, format] : kExtensions) {
    if (ext == extension) return format;
  }
  return ImageFormat::None;
}

std::string_view FormatLabel(ImageFormat format) {
  switch (format) {
    case ImageFormat::Jpeg:
      return "JPEG";
    case ImageFormat::Heic:
      return "HEIC";
    case ImageFormat::Heif:
      return "HEIF";
    case ImageFormat::Avif:
      return "AVIF";
    case ImageFormat::Png:
      return "PNG";
    case ImageFormat::Webp:
      return "WebP";
    case ImageFormat::None:
      break;
  }
  return {};
}

std::string JpegOutputName(std::string_view fileName) {
  if (FormatOfName(fileName) == ImageFormat::Jpeg) return std::string(fileName);
  return StemBeforeLastDot(fileName) + ".jpg";
}

}  // namespace quorvel
