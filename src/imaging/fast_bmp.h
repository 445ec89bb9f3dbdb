// The 24-bit working bitmap: pixels blue, green, red, rows top-down, each row padded to a
// multiple of 4 bytes, reached through a table of row starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::imaging {

class TFastBmp {
 public:
  TFastBmp() : TFastBmp(0, 0) {}
  // A blank bitmap; the pixel content is not defined. Throws Error when memory runs out.
  TFastBmp(int width, int height);

  static int StrideFor(int width) { return 3 * width + width % 4; }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int RowStep() const { return StrideFor(width_); }
  std::size_t PixelBlockSize() const { return pixels_.size(); }
  std::uint8_t* Row(int y) { return rows_[static_cast<std::size_t>(y)]; }
  const std::uint8_t* Row(int y) const { return rows_[static_cast<std::size_t>(y)]; }

  // Replaces the bitmap with the decoded JPEG file; a failure leaves it as it was.
  void LoadFromFile(const std::string& path);

 private:
  void BuildRowTable();

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> pixels_;
  std::vector<std::uint8_t*> rows_;
};

}  // namespace quorvel::imaging
