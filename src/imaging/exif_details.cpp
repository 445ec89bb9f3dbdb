#include "imaging/exif_details.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace quorvel::imaging {
namespace {

constexpr std::string_view kExifHeader("Exif\0\0", 6);
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kMaxText = 64;

enum Tag : std::uint16_t {
  kMake = 0x010F,
  kModel = 0x0110,
  kDateTime = 0x0132,
  kExifDirectory = 0x8769,
  kExposureTime = 0x829A,
  kFNumber = 0x829D,
  kIsoSpeed = 0x8827,
  kDateTimeOriginal = 0x9003,
  kFocalLength = 0x920A,
};

enum Type : std::uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

struct Entry {
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::size_t value = 0;  // offset of the value's bytes within the TIFF data
};

// The TIFF data after the Exif header, read in its own byte order; every read checked.
class Tiff {
 public:
  Tiff(std::string_view data, bool big_endian) : data_(data), big_endian_(big_endian) {}

  std::optional<std::uint32_t> Read(std::size_t at, int bytes) const {
    if (at > data_.size() || data_.size() - at < static_cast<std::size_t>(bytes)) return {};
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const std::uint32_t byte =
          static_cast<unsigned char>(data_[at + static_cast<std::size_t>(i)]);
      value |= big_endian_ ? byte << (8 * (bytes - 1 - i)) : byte << (8 * i);
    }
    return value;
  }

  // The entries of the directory at `offset` that lie within the data, by tag (first wins).
  std::vector<std::pair<std::uint16_t, Entry>> Directory(std::size_t offset) const {
    std::vector<std::pair<std::uint16_t, Entry>> entries;
    const auto count = Read(offset, 2);
    if (!count) return entries;
    const std::size_t fitting = (data_.size() - offset - 2) / kEntryBytes;
    const std::size_t n = std::min<std::size_t>(*count, fitting);
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t at = offset + 2 + i * kEntryBytes;
      Entry entry{static_cast<std::uint16_t>(*Read(at + 2, 2)), *Read(at + 4, 4), at + 8};
      const std::size_t size = ValueSize(entry);
      if (size > 4) entry.value = *Read(at + 8, 4);  // stored elsewhere in the data
      entries.emplace_back(static_cast<std::uint16_t>(*Read(at, 2)), entry);
    }
    return entries;
  }

  std::string Text(const Entry& e) const {
    if (e.type != kAscii || e.value > data_.size()) return {};
    std::string text;
    const std::size_t end =
        std::min<std::size_t>(data_.size(), e.value + std::min<std::size_t>(e.count, kMaxText));
    for (std::size_t i = e.value; i < end && data_[i] != '\0'; ++i) {
      const char c = data_[i];
      if (c >= 0x20 && c < 0x7F) text += c;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }

  std::optional<double> Number(const Entry& e) const {
    if (e.count < 1) return {};
    if (e.type == kShort) {
      if (const auto v = Read(e.value, 2)) return *v;
    } else if (e.type == kLong) {
      if (const auto v = Read(e.value, 4)) return *v;
    } else if (e.type == kRational) {
      const auto n = Read(e.value, 4);
      const auto d = Read(e.value + 4, 4);
      if (n && d && *d != 0) return static_cast<double>(*n) / *d;
    }
    return {};
  }

  std::optional<std::pair<std::uint32_t, std::uint32_t>> Rational(const Entry& e) const {
    if (e.type != kRational || e.count < 1) return {};
    const auto n = Read(e.value, 4);
    const auto d = Read(e.value + 4, 4);
    if (!n || !d || *d == 0) return {};
    return std::make_pair(*n, *d);
  }

 private:
  static std::size_t ValueSize(const Entry& e) {
    const std::size_t unit = e.type == kShort      ? 2
                             : e.type == kLong     ? 4
                             : e.type == kRational ? 8
                                                   : 1;
    return unit * e.count;
  }

  std::string_view data_;
  bool big_endian_;
};

const Entry* Find(const std::vector<std::pair<std::uint16_t, Entry>>& entries, std::uint16_t tag) {
  for (const auto& [t, entry] : entries) {
    if (t == tag) return &entry;
  }
  return nullptr;
}

// "2024:07:01 14:03:22" as "2024-07-01 14:03".
std::string DateText(std::string text) {
  if (text.size() < 16 || text[4] != ':' || text[7] != ':' || text[10] != ' ') return {};
  text[4] = '-';
  text[7] = '-';
  return text.substr(0, 16);
}

std::string CameraText(const std::string& make, const std::string& model) {
  if (model.empty()) return make;
  if (make.empty() || model.compare(0, make.size(), make) == 0) return model;
  // Makers write "NIKON CORPORATION" and "NIKON D750": one word of the make is enough.
  const std::string first_word = make.substr(0, make.find(' '));
  if (model.compare(0, first_word.size(), first_word) == 0) return model;
  return make + " " + model;
}

std::string Format(const char* pattern, double value) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// Whole numbers without decimals, others with one: "8", "2.8".
std::string Short(double value) {
  const double rounded = std::round(value * 10) / 10;
  return rounded == std::floor(rounded) ? Format("%.0f", rounded) : Format("%.1f", rounded);
}

std::string ExposureText(const std::pair<std::uint32_t, std::uint32_t>& r) {
  const double seconds = static_cast<double>(r.first) / r.second;
  if (seconds <= 0 || seconds > 1e5) return {};
  // Below a second as cameras show it, a fraction when it is one: 1/250 s, 1/3 s, but 0.4 s.
  const double inverse = static_cast<double>(r.second) / r.first;
  if (seconds < 1 && std::abs(inverse - std::round(inverse)) < 0.01) {
    return "1/" + Format("%.0f", inverse) + " s";
  }
  return Short(seconds) + " s";
}

}  // namespace

std::vector<std::string> ExifDetails::Texts() const {
  std::vector<std::string> texts;
  for (const std::string* value : {&taken, &camera, &exposure, &aperture, &iso, &focal_length}) {
    if (!value->empty()) texts.push_back(*value);
  }
  return texts;
}

ExifDetails ReadExifDetails(std::string_view exif) {
  ExifDetails details;
  if (exif.substr(0, kExifHeader.size()) != kExifHeader) return details;
  const std::string_view data = exif.substr(kExifHeader.size());
  if (data.size() < 8 || (data.substr(0, 2) != "II" && data.substr(0, 2) != "MM")) return details;
  const Tiff tiff(data, data[0] == 'M');
  const auto ifd0 = tiff.Read(4, 4);
  if (!ifd0) return details;
  const auto first = tiff.Directory(*ifd0);
  const auto text = [&](const auto& entries, std::uint16_t tag) {
    const Entry* e = Find(entries, tag);
    return e != nullptr ? tiff.Text(*e) : std::string();
  };
  details.camera = CameraText(text(first, kMake), text(first, kModel));
  details.taken = DateText(text(first, kDateTime));
  const Entry* link = Find(first, kExifDirectory);
  const auto offset = link != nullptr ? tiff.Number(*link) : std::nullopt;
  if (!offset || *offset == *ifd0) return details;
  const auto exif_ifd = tiff.Directory(static_cast<std::size_t>(*offset));
  if (const std::string original = DateText(text(exif_ifd, kDateTimeOriginal)); !original.empty()) {
    details.taken = original;
  }
  if (const Entry* e = Find(exif_ifd, kExposureTime)) {
    if (const auto r = tiff.Rational(*e)) details.exposure = ExposureText(*r);
  }
  if (const Entry* e = Find(exif_ifd, kFNumber)) {
    if (const auto f = tiff.Number(*e); f && *f > 0 && *f < 1000)
      details.aperture = "f/" + Short(*f);
  }
  if (const Entry* e = Find(exif_ifd, kIsoSpeed)) {
    if (const auto iso = tiff.Number(*e); iso && *iso > 0) details.iso = Format("ISO %.0f", *iso);
  }
  if (const Entry* e = Find(exif_ifd, kFocalLength)) {
    if (const auto mm = tiff.Number(*e); mm && *mm > 0 && *mm < 100000) {
      details.focal_length = Short(*mm) + " mm";
    }
  }
  return details;
}

}  // namespace quorvel::imaging
