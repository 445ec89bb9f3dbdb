// The caption under a thumbnail: the image's name and its file size, each in its own style,
// sharing one font element where they can.
#pragma once

#include <cstdint>
#include <string>

#include "job/gallery_settings.h"

namespace quorvel::html {

// `imageName` is the file name as found on disk; it is written HTML-escaped.
std::string BuildCaption(const TextSettings& text, const std::string& imageName,
                         std::uint64_t imageSize);

// The font element opening of a text block ("<font face=.. size=.. color=..>"), or empty when
// the block sets none of the three.
std::string FontOpenTag(int font, int size, ColorValue color);

}  // namespace quorvel::html
