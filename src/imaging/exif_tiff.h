// The TIFF structure of an Exif block, read with every offset checked against the block: the
// part the Orientation and the photo details are both read through.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel::imaging::exif_tiff {

constexpr std::string_view kExifHeader("Exif\0\0", 6);
constexpr std::size_t kEntryBytes = 12;

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

  std::string Text(const Entry& e, std::size_t max) const {
    if (e.type != kAscii || e.value > data_.size()) return {};
    std::string text;
    const std::size_t end =
        std::min<std::size_t>(data_.size(), e.value + std::min<std::size_t>(e.count, max));
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

inline const Entry* Find(const std::vector<std::pair<std::uint16_t, Entry>>& entries,
                         std::uint16_t tag) {
  for (const auto& [t, entry] : entries) {
    if (t == tag) return &entry;
  }
  return nullptr;
}

// The TIFF data of an APP1 payload that starts "Exif\0\0", in its byte order; none when the
// block is not one, too short for the TIFF header, or of no known byte order.
inline std::optional<Tiff> OpenExifTiff(std::string_view exif) {
  if (exif.substr(0, kExifHeader.size()) != kExifHeader) return {};
  const std::string_view data = exif.substr(kExifHeader.size());
  if (data.size() < 8 || (data.substr(0, 2) != "II" && data.substr(0, 2) != "MM")) return {};
  return Tiff(data, data[0] == 'M');
}

}  // namespace quorvel::imaging::exif_tiff
