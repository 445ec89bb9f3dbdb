// Orientation transforms as a pixel mapping: each displayed pixel is fetched from the stored
// position the tag assigns to it.
#include "imaging/orientation.h"

#include <cstring>

namespace quorvel::imaging {

bool OrientationSwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

TFastBmp OrientBitmap(const TFastBmp& stored, int orientation) {
  if (orientation < 2 || orientation > 8) return stored;
  const int sw = stored.Width();
  const int sh = stored.Height();
  const bool swap = OrientationSwapsSides(orientation);
  TFastBmp shown(swap ? sh : sw, swap ? sw : sh);
  for (int y = 0; y < shown.Height(); ++y) {
    std::uint8_t* out = shown.Row(y);
    for (int x = 0; x < shown.Width(); ++x) {
      int sx = x;
      int sy = y;
      switch (orientation) {
        case 2:
          sx = sw - 1 - x;
          break;
        case 3:
          sx = sw - 1 - x;
          sy = sh - 1 - y;
          break;
        case 4:
          sy = sh - 1 - y;
          break;
        case 5:
          sx = y;
          sy = x;
          break;
        case 6:
          sx = y;
          sy = sh - 1 - x;
          break;
        case 7:
          sx = sw - 1 - y;
          sy = sh - 1 - x;
          break;
        case 8:
          sx = sw - 1 - y;
          sy = x;
          break;
      }
      std::memcpy(out + 3 * x, stored.Row(sy) + 3 * sx, 3);
    }
  }
  return shown;
}

}  // namespace quorvel::imaging
