// The separable resampler: horizontal pass into an intermediate bitmap, then vertical.
#include "imaging/resample_bitmap.h"

#include <cmath>

#include "imaging/contributor_list.h"

namespace quorvel::imaging {

void ResampleBitmap(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                    float support) {
  const int sw = source.Width();
  const int sh = source.Height();
  const int dw = destination.Width();
  const int dh = destination.Height();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  TFastBmp work(dw, sh);
  const std::vector<ContributorList> columns = ComputeContributors(sw, dw, filter, support);
  for (int y = 0; y < sh; ++y) {
    const std::uint8_t* in = source.Row(y);
    std::uint8_t* out = work.Row(y);
    for (int i = 0; i < dw; ++i) {
      float b = 0.0f, g = 0.0f, r = 0.0f;
      for (const Contributor& c : columns[static_cast<std::size_t>(i)]) {
        const std::uint8_t* p = in + 3 * c.pixel;
        b = Accumulate(b, p[0], c.weight);
        g = Accumulate(g, p[1], c.weight);
        r = Accumulate(r, p[2], c.weight);
      }
      out[3 * i] = SampleFromSum(b);
      out[3 * i + 1] = SampleFromSum(g);
      out[3 * i + 2] = SampleFromSum(r);
    }
  }
  const std::vector<ContributorList> rows = ComputeContributors(sh, dh, filter, support);
  for (int x = 0; x < dw; ++x) {
    for (int i = 0; i < dh; ++i) {
      float b = 0.0f, g = 0.0f, r = 0.0f;
      for (const Contributor& c : rows[static_cast<std::size_t>(i)]) {
        const std::uint8_t* p = work.Row(c.pixel) + 3 * x;
        b = Accumulate(b, p[0], c.weight);
        g = Accumulate(g, p[1], c.weight);
        r = Accumulate(r, p[2], c.weight);
      }
      std::uint8_t* out = destination.Row(i) + 3 * x;
      out[0] = SampleFromSum(b);
      out[1] = SampleFromSum(g);
      out[2] = SampleFromSum(r);
    }
  }
}

}  // namespace quorvel::imaging
