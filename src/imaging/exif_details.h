// What a photo page may tell of a photo, read from its Exif block: when it was taken, with which
// camera, and how it was exposed. Never where: the GPS directory is not read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel::imaging {

struct ExifDetails {
  std::string taken;         // "2024-07-01 14:03", from DateTimeOriginal, else DateTime
  std::string camera;        // "Canon EOS R6": the model, led by the make unless it names it
  std::string exposure;      // "1/250 s", "2 s"
  std::string aperture;      // "f/8", "f/2.8"
  std::string iso;           // "ISO 100"
  std::string focal_length;  // "50 mm"

  // The values that are there, in the order above.
  std::vector<std::string> Texts() const;
  bool operator==(const ExifDetails&) const = default;
};

// From an APP1 payload that starts "Exif\0\0": IFD0 (Make, Model, DateTime) and the Exif
// directory it points to (DateTimeOriginal, ExposureTime, FNumber, ISOSpeedRatings,
// FocalLength). Every read is bounds-checked, each directory is read once with at most the
// entries that fit in the block, and only that one link is followed, so a block whose links loop
// costs no more than two passes. Texts are cut at 64 bytes and keep printable ASCII only;
// whatever is missing, damaged or out of range is left empty.
ExifDetails ReadExifDetails(std::string_view exif);

}  // namespace quorvel::imaging
