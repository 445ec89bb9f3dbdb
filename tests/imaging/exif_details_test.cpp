// The details a photo page tells, read from Exif blocks built here: the common tags in both byte
// orders, makers that repeat their name, odd values, and blocks that lie (links that loop,
// offsets past the end, texts with control characters) or hold a GPS position, which is never
// read.
#include "imaging/exif_details.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::imaging {
namespace {

struct Field {
  std::uint16_t tag;
  std::uint16_t type;                 // 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL
  std::vector<std::uint32_t> values;  // SHORT/LONG values, or RATIONAL numerator, denominator
  std::string text;                   // for ASCII, without its terminator
};

// An APP1 payload: "Exif\0\0", the TIFF header, IFD0 with `first` and, when `exif` is not
// empty, a link (0x8769) to an Exif directory holding `exif` (or to `link` when given).
class ExifBuilder {
 public:
  explicit ExifBuilder(bool big_endian) : big_(big_endian) {}

  std::string Build(std::vector<Field> first, const std::vector<Field>& exif, long link = -1) {
    const std::size_t ifd0 = 8;
    const std::size_t first_size = 2 + 12 * (first.size() + (exif.empty() ? 0 : 1)) + 4;
    if (!exif.empty()) {
      const std::size_t exif_at = ifd0 + first_size + DataSize(first);
      first.push_back({0x8769, 4, {static_cast<std::uint32_t>(link >= 0 ? link : exif_at)}, {}});
    }
    std::string tiff = big_ ? std::string("MM\0*", 4) : std::string("II*\0", 4);
    Put(tiff, ifd0, 4);
    Directory(tiff, first);
    if (!exif.empty()) Directory(tiff, exif);
    return std::string("Exif\0\0", 6) + tiff;
  }

 private:
  static std::size_t ValueSize(const Field& f) {
    if (f.type == 2) return f.text.size() + 1;
    if (f.type == 5) return 8;
    return (f.type == 3 ? 2 : 4) * f.values.size();
  }
  static std::size_t DataSize(const std::vector<Field>& fields) {
    std::size_t size = 0;
    for (const Field& f : fields) size += ValueSize(f) > 4 ? ValueSize(f) : 0;
    return size;
  }
  void Put(std::string& out, std::uint32_t value, int bytes) const {
    for (int i = 0; i < bytes; ++i) {
      const int shift = big_ ? 8 * (bytes - 1 - i) : 8 * i;
      out += static_cast<char>((value >> shift) & 0xFF);
    }
  }
  std::string Value(const Field& f) const {
    std::string v;
    if (f.type == 2) return f.text + '\0';
    for (std::uint32_t x : f.values) Put(v, x, f.type == 3 ? 2 : 4);
    return v;
  }
  // The directory at the end of `tiff`, its long values right after it.
  void Directory(std::string& tiff, const std::vector<Field>& fields) const {
    const std::size_t start = tiff.size();
    std::size_t data = start + 2 + 12 * fields.size() + 4;
    std::string values;
    Put(tiff, static_cast<std::uint32_t>(fields.size()), 2);
    for (const Field& f : fields) {
      Put(tiff, f.tag, 2);
      Put(tiff, f.type, 2);
      Put(tiff,
          f.type == 2   ? static_cast<std::uint32_t>(f.text.size() + 1)
          : f.type == 5 ? 1
                        : static_cast<std::uint32_t>(f.values.size()),
          4);
      const std::string v = Value(f);
      if (v.size() <= 4) {
        tiff += v + std::string(4 - v.size(), '\0');
      } else {
        Put(tiff, static_cast<std::uint32_t>(data + values.size()), 4);
        values += v;
      }
    }
    Put(tiff, 0, 4);
    tiff += values;
  }

  bool big_;
};

const std::vector<Field> kCamera = {{0x010F, 2, {}, "Canon"},
                                    {0x0110, 2, {}, "Canon EOS R6"},
                                    {0x0132, 2, {}, "2020:01:01 00:00:00"}};
const std::vector<Field> kShot = {{0x9003, 2, {}, "2024:07:01 14:03:22"},
                                  {0x829A, 5, {1, 250}, {}},
                                  {0x829D, 5, {8, 1}, {}},
                                  {0x8827, 3, {100}, {}},
                                  {0x920A, 5, {50, 1}, {}}};

TEST(ExifDetailsTest, TheCommonTagsInBothByteOrders) {
  for (const bool big : {false, true}) {
    const ExifDetails d = ReadExifDetails(ExifBuilder(big).Build(kCamera, kShot));
    EXPECT_EQ(d.Texts(), (std::vector<std::string>{"2024-07-01 14:03", "Canon EOS R6", "1/250 s",
                                                   "f/8", "ISO 100", "50 mm"}))
        << big;
  }
}

TEST(ExifDetailsTest, CamerasAndValuesAsPeopleReadThem) {
  const struct {
    std::vector<Field> first;
    std::vector<Field> exif;
    std::vector<std::string> texts;
  } cases[] = {
      {{{0x010F, 2, {}, "NIKON CORPORATION"}, {0x0110, 2, {}, "NIKON D750"}}, {}, {"NIKON D750"}},
      {{{0x010F, 2, {}, "Apple"}, {0x0110, 2, {}, "iPhone 12"}}, {}, {"Apple iPhone 12"}},
      {{{0x010F, 2, {}, "Canon   "}}, {}, {"Canon"}},
      // Without DateTimeOriginal the file's own time stands in.
      {{{0x0132, 2, {}, "2019:12:31 23:59:59"}},
       {{0x829A, 5, {2, 1}, {}}},
       {"2019-12-31 23:59", "2 s"}},
      {{},
       {{0x829A, 5, {1, 3}, {}}, {0x829D, 5, {28, 10}, {}}, {0x920A, 5, {43, 10}, {}}},
       {"1/3 s", "f/2.8", "4.3 mm"}},
      {{}, {{0x829A, 5, {13, 10}, {}}, {0x8827, 4, {3200}, {}}}, {"1.3 s", "ISO 3200"}},
      {{}, {{0x829A, 5, {4, 10}, {}}}, {"0.4 s"}},
      // Zero denominators, dates in another form, control characters and overlong texts.
      {{{0x0110, 2, {}, std::string("Bad\x1B[2Jcam") + std::string(100, 'x')}},
       {{0x829A, 5, {1, 0}, {}}, {0x9003, 2, {}, "July 1st"}, {0x829D, 5, {0, 1}, {}}},
       {"Bad[2Jcam" + std::string(54, 'x')}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadExifDetails(ExifBuilder(false).Build(c.first, c.exif)).Texts(), c.texts);
  }
}

// A GPS directory and its values are never read; links that loop or point past the end cost
// one more directory at most and give what can be read.
TEST(ExifDetailsTest, BlocksThatLieOrTellWhere) {
  std::vector<Field> first = kCamera;
  first.push_back({0x8825, 4, {8}, {}});  // GPS directory, pointed at IFD0 itself
  const ExifDetails with_gps = ReadExifDetails(ExifBuilder(false).Build(first, kShot));
  EXPECT_EQ(with_gps.Texts().size(), 6u);
  for (const std::string& text : with_gps.Texts()) EXPECT_EQ(text.find("GPS"), std::string::npos);
  const ExifDetails loop = ReadExifDetails(ExifBuilder(false).Build(kCamera, kShot, 8));
  EXPECT_EQ(loop.Texts(), (std::vector<std::string>{"2020-01-01 00:00", "Canon EOS R6"}));
  const ExifDetails past_end = ReadExifDetails(ExifBuilder(true).Build(kCamera, kShot, 1 << 30));
  EXPECT_EQ(past_end.camera, "Canon EOS R6");
  EXPECT_TRUE(past_end.exposure.empty());
  std::string cut = ExifBuilder(false).Build(kCamera, kShot);
  for (std::size_t size = 0; size < cut.size(); ++size) ReadExifDetails(cut.substr(0, size));
  EXPECT_EQ(ReadExifDetails("").Texts(), std::vector<std::string>{});
  EXPECT_EQ(ReadExifDetails(std::string("Exif\0\0XX", 8)).Texts(), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorvel::imaging
