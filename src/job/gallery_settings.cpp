#include "job/gallery_settings.h"

#include <charconv>
#include <limits>

namespace quorvel {

void SetWebReady(WebSettings& web, bool on) {
  web.PhotoPages = on;
  web.HighDensityThumbnails = on;
  web.PhoneLayout = on;
  web.OtherFormats = on;
}

bool IsWebReady(const WebSettings& web) {
  return web.PhotoPages && web.HighDensityThumbnails && web.PhoneLayout && web.OtherFormats;
}

std::int32_t ParseEditorInteger(std::string_view text, std::int32_t fallback) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return fallback;
  if (value > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace quorvel
