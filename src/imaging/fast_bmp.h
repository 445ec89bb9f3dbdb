// The 24-bit working bitmap: pixels blue, green, red, rows top-down, each row padded to a
// multiple of 4 bytes, reached through a table of row starts.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel::imaging {

class TFastBmp {
 public:
  TFastBmp() = default;
  // A blank bitmap; the pixel content is not defined. Throws Error for a negative side or
  // when memory runs out.
  TFastBmp(int width, int height);
  // A copy owns its own block and row table (the rows never point into the original).
  TFastBmp(const TFastBmp& other);
  TFastBmp& operator=(const TFastBmp& other);
  // A moved-from bitmap is left empty (0 x 0).
  TFastBmp(TFastBmp&& other) noexcept;
  TFastBmp& operator=(TFastBmp&& other) noexcept;
  ~TFastBmp() = default;

  static int StrideFor(int width) { return 3 * width + width % 4; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return StrideFor(width_); }
  // The bytes of the pixel block, for a decoder that writes into it whole.
  std::size_t PixelBlockSize() const { return pixels_.size(); }
  std::uint8_t* Row(int y) { return rows_[static_cast<std::size_t>(y)]; }
  const std::uint8_t* Row(int y) const { return rows_[static_cast<std::size_t>(y)]; }

 private:
  void BuildRowTable();

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::vector<std::uint8_t*> rows_;
};

}  // namespace quorvel::imaging
