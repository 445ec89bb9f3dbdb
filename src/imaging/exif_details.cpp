#include "imaging/exif_details.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "imaging/exif_tiff.h"

namespace quorvel::imaging {
namespace {

using namespace exif_tiff;

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
  const std::optional<Tiff> opened = OpenExifTiff(exif);
  if (!opened) return details;
  const Tiff& tiff = *opened;
  const auto ifd0 = tiff.Read(4, 4);
  if (!ifd0) return details;
  const auto first = tiff.Directory(*ifd0);
  const auto text = [&](const auto& entries, std::uint16_t tag) {
    const Entry* e = Find(entries, tag);
    return e != nullptr ? tiff.Text(*e, kMaxText) : std::string();
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
