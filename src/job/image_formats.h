// The kinds of photo a gallery takes, told by the file name's extension: JPEG always, and with
// the web-ready set the formats phones and editors write.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

enum class ImageFormat { None, Jpeg, Heic, Heif, Avif, Png, Webp };

// By the extension, in any letter case: ".jpg" and ".jpeg", ".heic", ".heif", ".avif", ".png",
// ".webp"; None for anything else.
ImageFormat FormatOfName(std::string_view fileName);

// "JPEG", "HEIC", "HEIF", "AVIF", "PNG", "WebP" (empty for None), as messages name them.
std::string_view FormatLabel(ImageFormat format);

// The name of a JPEG made of the photo `fileName`: the name itself for a JPEG, the name with
// its extension replaced by ".jpg" for the other formats ("a.heic" gives "a.jpg").
std::string JpegOutputName(std::string_view fileName);

}  // namespace quorvel
