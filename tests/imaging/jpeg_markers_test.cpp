// The markers kept while reading a header: the ICC profile reassembled exactly as libjpeg's own
// jpeg_read_icc_profile does for every arrangement of chunks, a profile past the limit left out
// and said, the first Exif block among many APP1 markers; the thumbnail's mark in its comment.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/thumbnail_mark.h"
#include "support/crafted_jpeg.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::imaging::test {
namespace {

using testing::IccChunk;
using testing::MarkerSegment;
using testing::WithSegmentsAfterSoi;

// The profile as libjpeg's saved markers and jpeg_read_icc_profile give it; empty when none.
std::string LibraryProfile(const std::string& jpeg) {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  errors.emit_message = [](j_common_ptr, int) {};
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  JOCTET* data = nullptr;
  unsigned int size = 0;
  std::string profile;
  if (jpeg_read_icc_profile(&cinfo, &data, &size)) {
    profile.assign(reinterpret_cast<const char*>(data), size);
    std::free(data);
  }
  jpeg_destroy_decompress(&cinfo);
  return profile;
}

SourceMarkers Decoded(const std::string& jpeg) {
  TFastBmp bitmap;
  SourceMarkers markers;
  DecodeJpegBytes(jpeg, "m.jpg", bitmap, &markers);
  return markers;
}

std::vector<std::string> TinyChunks(int count, int of) {
  std::vector<std::string> chunks;
  for (int i = 0; i < count; ++i) chunks.push_back(IccChunk(i % of + 1, of, "abcd"));
  return chunks;
}

// Every arrangement of chunks (put after SOI, in order) gives libjpeg's profile, or none.
TEST(IccChunkTest, ReassembledAsLibjpegDoes) {
  const std::string profile = testing::TestIccProfile(600);
  std::string part[3];
  for (int i = 0; i < 3; ++i) part[i] = profile.substr(200 * i, 200);
  const std::tuple<const char*, std::vector<std::string>, bool> cases[] = {
      {"one chunk", {IccChunk(1, 1, profile)}, true},
      {"three in order",
       {IccChunk(1, 3, part[0]), IccChunk(2, 3, part[1]), IccChunk(3, 3, part[2])},
       true},
      {"three out of order",
       {IccChunk(3, 3, part[2]), IccChunk(1, 3, part[0]), IccChunk(2, 3, part[1])},
       true},
      {"among other APP2",
       {MarkerSegment(0xE2, "FPXR\0xyz"), IccChunk(2, 2, part[1]), MarkerSegment(0xE2, "ICC"),
        IccChunk(1, 2, part[0])},
       true},
      {"one twice",
       {IccChunk(1, 2, part[0]), IccChunk(2, 2, part[1]), IccChunk(2, 2, part[1])},
       false},
      {"one missing", {IccChunk(1, 3, part[0]), IccChunk(3, 3, part[2])}, false},
      {"counts disagree", {IccChunk(1, 2, part[0]), IccChunk(2, 3, part[1])}, false},
      {"number 0", {IccChunk(0, 1, profile)}, false},
      {"count 0", {IccChunk(1, 0, profile)}, false},
      {"number past count", {IccChunk(2, 1, profile)}, false},
      {"no data", {IccChunk(1, 2, ""), IccChunk(2, 2, "")}, false},
      {"255 tiny chunks", TinyChunks(255, 255), true},
      {"2000 tiny chunks", TinyChunks(2000, 255), false}};
  for (const auto& [name, segments, kept] : cases) {
    std::string all;
    for (const std::string& segment : segments) all += segment;
    const std::string jpeg = WithSegmentsAfterSoi(testing::EncodeTestJpeg({}), all, 1);
    const std::string library = LibraryProfile(jpeg);
    EXPECT_EQ(library.empty(), !kept) << name;
    EXPECT_EQ(Decoded(jpeg).icc_profile, library) << name;
  }
}

// At the limit a profile is kept; past it, it is left out and its size said when it is RGB.
TEST(IccProfileLimitTest, ALargerProfileIsLeftOutAndSaid) {
  // size, colour space, kept, said
  const std::vector<std::tuple<std::size_t, std::string, bool, bool>> cases = {
      {kMaxCarriedProfileBytes, "RGB ", true, false},
      {kMaxCarriedProfileBytes + 1, "RGB ", false, true},
      {255u * 65519u, "RGB ", false, true},
      {kMaxCarriedProfileBytes + 1, "CMYK", false, false}};
  testing::TempDir tmp;
  for (const auto& [size, space, kept, said] : cases) {
    const std::string profile = testing::TestIccProfile(size, space);
    const std::string jpeg = testing::EncodeTestJpeg({.icc = profile});
    const SourceMarkers markers = Decoded(jpeg);
    EXPECT_EQ(markers.icc_profile, kept ? profile : "") << size;
    EXPECT_EQ(markers.oversized_rgb_profile, said ? size : 0u) << size;
    const SourceHeader header = ReadSourceHeader(tmp.write("p.jpg", jpeg));
    EXPECT_EQ(header.rgb_profile, kept && space == "RGB ") << size;
  }
}

// Only the first APP1 that holds Exif counts, however many others come before or after it.
TEST(ExifMarkerTest, TheFirstExifBlockAmongManyApp1Markers) {
  testing::TempDir tmp;
  const std::string xmp =
      MarkerSegment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 33));
  const std::string empty = MarkerSegment(0xE1, "");
  const std::string six = MarkerSegment(0xE1, testing::ExifWithOrientation(6));
  const std::string eight = MarkerSegment(0xE1, testing::ExifWithOrientation(8, true));
  const std::pair<std::string, int> cases[] = {
      {WithSegmentsAfterSoi(testing::EncodeTestJpeg({}), empty, 20000), 1},
      {WithSegmentsAfterSoi(WithSegmentsAfterSoi(testing::EncodeTestJpeg({}), six + eight, 1),
                            empty + xmp, 5000),
       6},
      {WithSegmentsAfterSoi(testing::EncodeTestJpeg({}), eight + six + empty, 1), 8}};
  for (const auto& [jpeg, orientation] : cases) {
    EXPECT_EQ(ReadSourceHeader(tmp.write("e.jpg", jpeg)).orientation, orientation);
  }
}

TEST(ThumbnailMarkTest, CommentsAndTheirMarks) {
  EXPECT_EQ(MarkComment({}), "");
  EXPECT_EQ(MarkComment({.fast = true}), "Quorvelandiscope: fast");
  EXPECT_EQ(MarkComment({.orientation = 6}), "Quorvelandiscope: turned by Orientation 6");
  EXPECT_EQ(MarkComment({true, 8}), "Quorvelandiscope: fast, turned by Orientation 8");
  EXPECT_EQ(MarkComment({false, 9}), "");
  for (const bool fast : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      const ThumbnailMark mark{fast, orientation};
      EXPECT_EQ(ReadMarkComment(MarkComment(mark)), mark) << fast << orientation;
    }
  }
  for (const char* foreign : {"", "Quorvelandiscope: slow", "CREATOR: gd-jpeg v1.0",
                              "Quorvelandiscope: turned by Orientation 9"}) {
    EXPECT_EQ(ReadMarkComment(foreign), ThumbnailMark{}) << foreign;
  }
}

}  // namespace
}  // namespace quorvel::imaging::test
