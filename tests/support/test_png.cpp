#include "support/test_png.h"

#include <png.h>

#include <stdexcept>

namespace quorvel::testing {
namespace {

// Channels of each PNG colour type: gray, -, RGB, palette, gray and alpha, -, RGB and alpha.
constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};

void Append(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}
void NoFlush(png_structp) {}

// One row packed as the bit depth wants: big-endian pairs, or samples from a byte's top bits.
std::vector<png_byte> PackRow(const TestPngOptions& o, int y) {
  const int channels = kChannels[o.color_type];
  const int count = o.width * channels;
  std::vector<png_byte> row((static_cast<std::size_t>(count) * o.bit_depth + 7) / 8 + 1);
  for (int i = 0; i < count; ++i) {
    const int x = i / channels, c = i % channels;
    const unsigned v =
        o.sample ? o.sample(x, y, c) : ((x * 37 + y * 11 + c * 71) * 257u) >> (16 - o.bit_depth);
    if (o.bit_depth == 16) {
      row[2 * i] = static_cast<png_byte>(v >> 8);
      row[2 * i + 1] = static_cast<png_byte>(v);
    } else {
      const int bit = i * o.bit_depth;
      row[bit / 8] |=
          static_cast<png_byte>((v & ((1u << o.bit_depth) - 1)) << (8 - o.bit_depth - bit % 8));
    }
  }
  return row;
}

}  // namespace

std::string EncodeTestPng(const TestPngOptions& o) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<std::vector<png_byte>> rows;
  for (int y = 0; y < o.height; ++y) rows.push_back(PackRow(o, y));
  std::vector<png_color> palette;
  for (const auto& p : o.palette) palette.push_back({p[0], p[1], p[2]});
  std::vector<png_byte> alphas(o.transparency.begin(), o.transparency.end());
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the test PNG");
  }
  png_set_write_fn(png, &out, Append, NoFlush);
  png_set_IHDR(png, info, o.width, o.height, o.bit_depth, o.color_type,
               o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!o.transparency.empty()) {
    std::vector<png_uint_16> t(o.transparency);
    t.resize(3);  // gray's one value or RGB's three: libpng writes those of the colour type
    png_color_16 colour{0, t[0], t[1], t[2], t[0]};
    const bool indexed = o.color_type == PNG_COLOR_TYPE_PALETTE;
    png_set_tRNS(png, info, indexed ? alphas.data() : nullptr,
                 indexed ? static_cast<int>(alphas.size()) : 0, indexed ? nullptr : &colour);
  }
  if (!o.icc.empty()) {
    png_set_iCCP(png, info, "test", PNG_COMPRESSION_TYPE_BASE,
                 reinterpret_cast<png_const_bytep>(o.icc.data()),
                 static_cast<png_uint_32>(o.icc.size()));
  }
  std::vector<png_byte> exif(o.exif.begin(), o.exif.end());
  if (!exif.empty()) png_set_eXIf_1(png, info, static_cast<png_uint_32>(exif.size()), exif.data());
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_set_rows(png, info, pointers.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace quorvel::testing
