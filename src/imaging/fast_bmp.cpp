// The working bitmap's storage: one pixel block and a row table rebuilt for every block.
#include "imaging/fast_bmp.h"

#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "job/error.h"

namespace quorvel::imaging {
namespace {

std::string SizeText(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

}  // namespace

TFastBmp::TFastBmp(int width, int height) : width_(width), height_(height) {
  if (width < 0 || height < 0) throw Error("Invalid bitmap size " + SizeText(width, height));
  try {
    pixels_.resize(static_cast<std::size_t>(StrideFor(width)) * static_cast<std::size_t>(height));
    BuildRowTable();
  } catch (const std::bad_alloc&) {
    throw Error("Out of memory for a " + SizeText(width, height) + " bitmap");
  } catch (const std::length_error&) {
    throw Error("Out of memory for a " + SizeText(width, height) + " bitmap");
  }
}

TFastBmp::TFastBmp(const TFastBmp& other) : TFastBmp(other.width_, other.height_) {
  pixels_ = other.pixels_;
  BuildRowTable();
}

TFastBmp& TFastBmp::operator=(const TFastBmp& other) {
  if (this != &other) *this = TFastBmp(other);
  return *this;
}

TFastBmp::TFastBmp(TFastBmp&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)),
      rows_(std::move(other.rows_)) {
  other.pixels_.clear();
  other.rows_.clear();
}

TFastBmp& TFastBmp::operator=(TFastBmp&& other) noexcept {
  if (this != &other) {
    // A moved vector keeps its buffer, so the row table stays valid.
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::move(other.pixels_);
    rows_ = std::move(other.rows_);
    other.pixels_.clear();
    other.rows_.clear();
  }
  return *this;
}

void TFastBmp::BuildRowTable() {
  rows_.resize(static_cast<std::size_t>(height_));
  const std::size_t stride = static_cast<std::size_t>(StrideFor(width_));
  for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i] = pixels_.data() + i * stride;
}

}  // namespace quorvel::imaging
