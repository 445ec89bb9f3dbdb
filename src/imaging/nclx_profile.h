// An ICC profile made from the colour primaries of a HEIF or AVIF nclx description, so that a
// picture whose primaries are not sRGB's keeps its colours in a JPEG that carries the profile.
#pragma once

#include <string>

namespace quorvel::imaging {

struct Chromaticity {
  double x = 0;
  double y = 0;
};

struct NclxColours {
  Chromaticity red;
  Chromaticity green;
  Chromaticity blue;
  Chromaticity white;
  bool linear = false;  // linear samples; otherwise the sRGB tone curve
};

// A version 4.3 RGB display profile: red, green and blue colorants of the primaries adapted
// from the white point to D50 with the Bradford transform (the adaptation in 'chad'), one
// tone curve for the three channels ('para' function 3 with sRGB's constants, or the identity
// when linear), and its description in 'desc'. Empty when the primaries span no gamut (a
// chromaticity with y <= 0 or three primaries on a line).
std::string MakeNclxProfile(const NclxColours& colours);

}  // namespace quorvel::imaging
