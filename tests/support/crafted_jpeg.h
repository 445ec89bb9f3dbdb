// Hostile files made from the tests' own JPEGs: small on disk, costly for a careless reader.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quorvel::testing {

// A marker segment: 0xFF, `marker`, the length field, `payload`.
std::string MarkerSegment(int marker, const std::string& payload);

// An APP2 chunk of an ICC profile: its number (from 1) of `count`, then `data`.
std::string IccChunk(int number, int count, const std::string& data);

// `jpeg` with `count` copies of `segment` right after its SOI marker, among the headers.
std::string WithSegmentsAfterSoi(const std::string& jpeg, const std::string& segment, int count);

// `jpeg` with its last scan repeated `extra` more times before EOI.
std::string WithRepeatedLastScan(const std::string& jpeg, int extra);

// `jpeg` whose first frame header announces `width` x `height`, far more than its data.
std::string WithFrameSize(std::string jpeg, int width, int height);

// An APP1 Exif payload: IFD0 holds `orientation`, then `pointers` sub-IFD pointers that all
// lead back to IFD0, as does its next-IFD link.
std::string ExifWithLoopingIfds(int orientation, int pointers);

// The reliability review's crafted files at full size, by name, for bench/crafted_files.
std::vector<std::pair<std::string, std::string>> CraftedReviewFiles();

}  // namespace quorvel::testing
