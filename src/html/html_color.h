// Colour values in their HTML form.
#pragma once

#include <string>
#include <string_view>

#include "job/gallery_settings.h"

namespace quorvel::html {

// The six upper-case hexadecimal digits RRGGBB of a colour 0x00BBGGRR. Only the low 24 bits
// are a colour: a value with a non-zero top byte (which a state file can hold) is written from
// those bits, so the attribute always carries a valid colour.
std::string ColorToHtml(ColorValue value);

// ` attr="#RRGGBB"`, or nothing for Default.
std::string ColorAttribute(std::string_view attribute, ColorValue value);

}  // namespace quorvel::html
