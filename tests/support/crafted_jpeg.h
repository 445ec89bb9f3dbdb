// Files nobody vetted, made from the tests' own small JPEGs: extra marker segments, repeated
// scans, a frame header that announces more than the data holds, Exif blocks that loop. Each
// stays small on disk while asking a careless reader for much time or memory.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quorvel::testing {

// A marker segment: 0xFF, `marker`, the length field, `payload`.
std::string MarkerSegment(int marker, const std::string& payload);

// An APP2 chunk of an ICC profile: "ICC_PROFILE\0", the chunk's number (from 1), the number
// of chunks, then `data`.
std::string IccChunk(int number, int count, const std::string& data);

// `jpeg` with `count` copies of `segment` right after its SOI marker, among the headers.
std::string WithSegmentsAfterSoi(const std::string& jpeg, const std::string& segment, int count);

// A progressive `jpeg` whose last scan (its SOS segment and data) is repeated `extra` times
// before EOI; libjpeg decodes each repetition again, warning of the progression.
std::string WithRepeatedLastScan(const std::string& jpeg, int extra);

// `jpeg` whose first frame header (SOF0, SOF1 or SOF2) announces `width` x `height`; the data
// then ends long before the picture does.
std::string WithFrameSize(std::string jpeg, int width, int height);

// An APP1 Exif payload whose IFD0 holds the Orientation `orientation` and then `pointers`
// entries (Exif, GPS and Interoperability sub-IFD pointers in turn) that all point back at IFD0,
// with IFD0's next-IFD link pointing at itself too.
std::string ExifWithLoopingIfds(int orientation, int pointers);

// The crafted files of the reliability review, at full size, by name: for timing a real run
// (bench/crafted_files), never for a test, where the sizes are smaller.
std::vector<std::pair<std::string, std::string>> CraftedReviewFiles();

}  // namespace quorvel::testing
