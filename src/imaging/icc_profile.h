// Which colour profile a thumbnail carries, decided in one place for the thumbnail maker and
// for the update check that judges an existing thumbnail by its header.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvel::imaging {

// A larger profile (1 MB) is not copied into thumbnails: a thumbnail of a few kilobytes would
// otherwise carry up to 16 MB of profile (255 APP2 chunks), and the run says so.
inline constexpr std::size_t kMaxCarriedProfileBytes = 1000 * 1000;

// Whether a profile describes RGB data (the data colour space of its 128-byte header). Only
// such a profile describes a colour thumbnail's samples; one made for gray or CMYK sources
// would misdescribe them.
bool DescribesRgb(std::string_view profile);

}  // namespace quorvel::imaging
