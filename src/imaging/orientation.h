// The eight views of the Orientation tag as transforms of a bitmap: mirrors and quarter turns
// that take the pixels as stored to the picture as it is meant to be seen.
#pragma once

#include "imaging/fast_bmp.h"

namespace quorvel::imaging {

// True for 5 to 8, whose displayed picture has width and height exchanged.
bool OrientationSwapsSides(int orientation);

// The displayed picture of `stored` under `orientation`:
//   1 as stored             2 mirrored left-right     3 turned half round
//   4 mirrored top-bottom   5 mirrored about the main diagonal (transposed)
//   6 turned a quarter clockwise   7 mirrored about the other diagonal
//   8 turned a quarter counter-clockwise
// Any other value gives a copy as stored.
TFastBmp OrientBitmap(const TFastBmp& stored, int orientation);

}  // namespace quorvel::imaging
