#include "imaging/icc_profile.h"

namespace quorvel::imaging {

bool DescribesRgb(std::string_view profile) {
  return profile.size() >= 128 && profile.substr(16, 4) == "RGB ";
}

}  // namespace quorvel::imaging
