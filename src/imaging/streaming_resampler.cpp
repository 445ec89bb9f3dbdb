// The streaming resampler's bookkeeping: contributor lists of recent sizes, the batch turned
// into float lanes, the horizontal results turned back into intermediate rows, and the vertical
// pass over those rows. The arithmetic lives in resampler_kernels.cpp.
#include "imaging/streaming_resampler.h"

#include <algorithm>
#include <cstring>

#include "imaging/fused_taps.h"

namespace quorvel::imaging {
namespace {

// Folders of one camera give the same few sizes over and over.
constexpr std::size_t kRecentSizes = 8;

}  // namespace

StreamingResampler::StreamingResampler(ResamplerKernel kernel)
    : kernel_(ResamplerKernelRuns(kernel) ? kernel : FastestResamplerKernel()) {}

void StreamingResampler::Taps::Compute(int sourceSize, int destinationSize, FilterFunction f,
                                       float s) {
  const std::vector<ContributorList> lists = ComputeContributors(sourceSize, destinationSize, f, s);
  start.assign(1, 0);
  pixel.clear();
  weight.clear();
  fused.clear();
  for (const ContributorList& list : lists) {
    for (const Contributor& c : list) {
      pixel.push_back(c.pixel);
      weight.push_back(c.weight);
    }
    fused.push_back(FusedTapsExact(weight.data() + start.back(), static_cast<int>(list.size())));
    start.push_back(static_cast<int>(pixel.size()));
  }
  source_size = sourceSize;
  size = destinationSize;
  filter = f;
  support = s;
}

const StreamingResampler::Taps& StreamingResampler::TapsFor(int axis, int sourceSize,
                                                            int destinationSize, FilterFunction f,
                                                            float s) {
  std::vector<Taps>& recent = recent_[axis];
  auto found = std::find_if(recent.begin(), recent.end(), [&](const Taps& t) {
    return t.source_size == sourceSize && t.size == destinationSize && t.filter == f &&
           t.support == s;
  });
  if (found == recent.end()) {
    if (recent.size() < kRecentSizes) recent.emplace_back();
    found = recent.end() - 1;  // the least recently used makes room
    found->Compute(sourceSize, destinationSize, f, s);
  }
  // Moving a Taps keeps its vectors' buffers, so views taken later stay valid.
  std::rotate(recent.begin(), found, found + 1);
  return recent.front();
}

void StreamingResampler::Start(int sourceWidth, int sourceHeight, int width, int height,
                               FilterFunction filter, float support) {
  source_width_ = sourceWidth;
  source_height_ = sourceHeight;
  width_ = width;
  height_ = height;
  columns_ = TapsFor(0, sourceWidth, width, filter, support).View();
  rows_ = TapsFor(1, sourceHeight, height, filter, support).View();
  stride_ = (static_cast<std::size_t>(width) * 3 + 63) / 64 * 64;
  // The last batch's lanes are turned back in whole blocks of 16 samples.
  sums_.resize(stride_ * kLanes);
  // Rows are written as they arrive; Finish clears those that never do.
  work_.resize(stride_ * static_cast<std::size_t>(sourceHeight));
  received_ = 0;
  out_.resize(stride_);
}

void StreamingResampler::TurnIntoLanes(const std::uint8_t* const* rows, int count, int width,
                                       float* lanes) const {
  // Lanes beyond `count` repeat the last row; their sums are never stored.
  const std::uint8_t* batch[kLanes];
  for (int l = 0; l < kLanes; ++l) batch[l] = rows[std::min(l, count - 1)];
  TransposeToLanes(kernel_, batch, static_cast<std::size_t>(width) * 3, lanes);
}

void StreamingResampler::TakeRows(int first, const std::uint8_t* const* rows, int count) {
  lanes_.resize(static_cast<std::size_t>(source_width_) * 3 * kLanes);
  TurnIntoLanes(rows, count, source_width_, lanes_.data());
  TakeLanes(first, lanes_.data(), count);
}

void StreamingResampler::TakeLanes(int first, const float* lanes, int count) {
  HorizontalBatch(kernel_, lanes, columns_, sums_.data());
  std::uint8_t* out[kLanes];
  for (int l = 0; l < count; ++l) {
    out[l] = work_.data() + static_cast<std::size_t>(first + l) * stride_;
  }
  TransposeFromLanes(kernel_, sums_.data(), static_cast<std::size_t>(width_) * 3, out, count);
  received_ = std::max(received_, first + count);
}

void StreamingResampler::Finish(TFastBmp& destination) {
  if (destination.Width() != width_ || destination.Height() != height_) {
    destination = TFastBmp(width_, height_);
  }
  std::fill(
      work_.begin() + static_cast<std::ptrdiff_t>(stride_ * static_cast<std::size_t>(received_)),
      work_.end(), 0);
  const std::size_t samples = static_cast<std::size_t>(width_) * 3;
  for (int i = 0; i < height_; ++i) {
    VerticalRow(kernel_, work_.data(), stride_, rows_, i, out_.data());
    std::memcpy(destination.Row(i), out_.data(), samples);
  }
}

void ResampleBitmapStreaming(const TFastBmp& source, TFastBmp& destination, FilterFunction filter,
                             float support, StreamingResampler& resampler) {
  if (source.Width() <= 0 || source.Height() <= 0 || destination.Width() <= 0 ||
      destination.Height() <= 0) {
    return;
  }
  resampler.Start(source.Width(), source.Height(), destination.Width(), destination.Height(),
                  filter, support);
  constexpr int kBatch = StreamingResampler::kMaxRows;
  for (int y = 0; y < source.Height(); y += kBatch) {
    const std::uint8_t* rows[kBatch];
    const int count = std::min(kBatch, source.Height() - y);
    for (int l = 0; l < count; ++l) rows[l] = source.Row(y + l);
    resampler.TakeRows(y, rows, count);
  }
  resampler.Finish(destination);
}

}  // namespace quorvel::imaging
