// JPEG headers and decodes bounded on crafted files, the markers kept, the thumbnail's mark.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/thumbnail_maker.h"
#include "imaging/thumbnail_mark.h"
#include "pictures.h"
#include "support/crafted_jpeg.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestJpeg;
using testing::IccChunk;
using testing::MarkerSegment;
using testing::WithFrameSize;
using testing::WithSegmentsAfterSoi;

int Scans(const std::string& jpeg) {
  int count = 0;
  for (std::size_t at = 0; (at = jpeg.find("\xFF\xDA", at)) != std::string::npos; at += 2) ++count;
  return count;
}

using LimitTest = PictureTest;

// What planning, then making a thumbnail, say: warnings and "made", or the error and leftovers.
std::string Outcome(FastImage& holder, const testing::TempDir& tmp, const std::string& bytes,
                    const DecodeLimits& limits) {
  const std::string path = tmp.write("c.jpg", bytes);
  const std::string planned = ErrorOf([&] { ReadSourceHeader(path, limits); });
  std::string text = planned == "no error" ? "planned" : planned;
  ThumbnailRequest request{path, tmp.file("t.jpg")};
  request.limits = limits;
  std::filesystem::remove(request.target);
  try {
    for (const std::string& warning : MakeThumbnail(holder, request))
      text += "; warning: " + warning;
    text += "; made";
  } catch (const Error& e) {
    text += "; " + MessageWithDetail(e);
    if (std::filesystem::exists(request.target)) text += "; left a file";
  }
  return text;
}

// Files past each bound (scans, announced memory) and a few within, and what planning and making
// say of them, kept as data; warnings and a profile left out go to the image's report.
TEST_F(LimitTest, CraftedFilesAsKept) {
  const std::string progressive = EncodeTestJpeg({.width = 24, .height = 16, .progressive = true});
  const int own = Scans(progressive);
  const auto huge = [](testing::TestJpegOptions o, int width = 20000, int height = 20000) {
    o.width = o.height = 16;
    return WithFrameSize(EncodeTestJpeg(o), width, height);
  };
  const std::string whole = EncodeTestJpeg({.width = 64, .height = 64});
  const std::string small = EncodeTestJpeg({.width = 640, .height = 480, .progressive = true});
  const std::tuple<std::string, std::string, DecodeLimits> cases[] = {
      {"100 scans", testing::WithRepeatedLastScan(progressive, kMaxScans - own), {}},
      {"101 scans", testing::WithRepeatedLastScan(progressive, kMaxScans - own + 1), {}},
      {"one scan more than a lower limit",
       testing::WithRepeatedLastScan(progressive, 2),
       {.max_scans = own + 1}},
      {"progressive, 20000 x 20000", huge({.progressive = true}), {}},
      {"gray progressive", huge({.components = 1, .progressive = true}), {}},
      {"a scan per component", huge({.scan_per_component = true}), {}},
      {"640 x 480 progressive, budget 1 MB", small, {.memory_budget = 1000000}},
      {"and 1.2 MB", small, {.memory_budget = 1200000}},
      {"clean", whole, {}},
      {"cut in half", whole.substr(0, whole.size() / 2), {}},
      {"data ends early", WithFrameSize(EncodeTestJpeg({.quality = 50}), 2000, 2000), {}},
      {"profile past the limit",
       EncodeTestJpeg({.icc = testing::TestIccProfile(kMaxCarriedProfileBytes + 1)}),
       {}}};
  ASSERT_EQ(Scans(std::get<1>(cases[0])), kMaxScans);
  std::string text;
  for (const auto& [name, bytes, limits] : cases)
    text += name + ": " + Outcome(holder_, tmp_, bytes, limits) + "\n";
  EXPECT_EQ(testing::CompareWithGolden(testing::WithTmp(text, tmp_.path()),
                                       "imaging/crafted_outcomes.txt"),
            "");
  // A gray thumbnail carries no profile (c.jpg is the last case's): nothing is said.
  ThumbnailRequest gray{tmp_.file("c.jpg"), tmp_.file("t.jpg"), 70, 70, 60, true};
  gray.keep_color_profile = false;
  EXPECT_EQ(MakeThumbnail(holder_, gray).size(), 0u);
  // Baseline files stream at any size; 100 progressive megapixels fit, 4:4:4 included.
  for (const std::string& jpeg :
       {huge({}), huge({.progressive = true, .full_chroma = true}, 12247, 8165),
        huge({.full_chroma = true, .scan_per_component = true}, 12247, 8165)})
    EXPECT_NO_THROW(ReadSourceHeader(tmp_.write("c.jpg", jpeg)));
}

// The flag ends a decode at its next look, before a progressive file's scans or between batches.
TEST_F(LimitTest, TheStopFlagEndsTheDecodeInHand) {
  // Raises the flag once it has the header (progressive) or its first rows (baseline).
  struct Stopper final : ScanlineConsumer {
    std::atomic<bool> stop = false;
    bool at_header = false;
    int rows = 0;
    int ChooseScale(int, int, const SourceMarkers&) override {
      stop = at_header;
      return 1;
    }
    void Begin(int, int) override {}
    void TakeRows(int, const std::uint8_t* const*, int count) override {
      rows += count;
      stop = true;
    }
  };
  for (const bool progressive : {false, true}) {
    Stopper consumer;
    consumer.at_header = progressive;
    const std::string jpeg =
        EncodeTestJpeg({.width = 64, .height = 64, .progressive = progressive});
    EXPECT_EQ(
        ErrorOf([&] { DecodeJpegBytesRows(jpeg, "s.jpg", consumer, {.stop = &consumer.stop}); }),
        "Stopped while decoding s.jpg");
    EXPECT_EQ(consumer.rows, progressive ? 0 : kRowBatch);
  }
  std::atomic<bool> stop = true;
  ThumbnailRequest request{Source({64, 48}), tmp_.file("t.jpg")};
  request.limits.stop = &stop;
  EXPECT_THROW(MakeThumbnail(holder_, request), Error);
  EXPECT_FALSE(std::filesystem::exists(request.target));
}

// Half the memory at the budget for each worker, at least one, at most one per thread.
TEST(WorkersWithinMemoryTest, HalfTheMemoryAtTheBudget) {
  const std::uint64_t gb = 1000ull * 1000 * 1000;
  // threads, memory, workers
  const std::tuple<int, std::uint64_t, int> cases[] = {{2, 24 * gb, 2}, {8, 4 * gb, 3},
                                                       {8, 1 * gb, 1},  {16, 64 * gb, 16},
                                                       {4, 0, 1},       {0, 24 * gb, 1}};
  for (const auto& [threads, memory, workers] : cases)
    EXPECT_EQ(WorkersWithinMemory(threads, memory), workers) << threads << " " << memory;
  EXPECT_EQ(WorkersWithinMemory(64, 2560 * kWorkerMemoryBudget / 1000), 1);
}

SourceMarkers Decoded(const std::string& jpeg) {
  TFastBmp bitmap;
  SourceMarkers markers;
  DecodeJpegBytes(jpeg, "m.jpg", bitmap, &markers);
  return markers;
}

std::string TinyChunks(int count, int of) {
  std::string chunks;
  for (int i = 0; i < count; ++i) chunks += IccChunk(i % of + 1, of, "abcd");
  return chunks;
}

// Every arrangement of chunks (after SOI) gives what libjpeg's jpeg_read_icc_profile gives.
TEST(IccChunkTest, ReassembledAsLibjpegDoes) {
  const std::string profile = testing::TestIccProfile(600);
  std::string part[3], tiny;
  for (int i = 0; i < 3; ++i) part[i] = profile.substr(200 * i, 200);
  for (int i = 0; i < 255; ++i) tiny += "abcd";
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"one chunk", IccChunk(1, 1, profile), profile},
      {"three in order",
       IccChunk(1, 3, part[0]) + IccChunk(2, 3, part[1]) + IccChunk(3, 3, part[2]), profile},
      {"three out of order",
       IccChunk(3, 3, part[2]) + IccChunk(1, 3, part[0]) + IccChunk(2, 3, part[1]), profile},
      {"among other APP2",
       MarkerSegment(0xE2, "FPXR\0xyz") + IccChunk(2, 2, part[1]) + MarkerSegment(0xE2, "ICC") +
           IccChunk(1, 2, part[0]),
       part[0] + part[1]},
      {"one twice", IccChunk(1, 2, part[0]) + IccChunk(2, 2, part[1]) + IccChunk(2, 2, part[1]),
       ""},
      {"one missing", IccChunk(1, 3, part[0]) + IccChunk(3, 3, part[2]), ""},
      {"counts disagree", IccChunk(1, 2, part[0]) + IccChunk(2, 3, part[1]), ""},
      {"number 0", IccChunk(0, 1, profile), ""},
      {"count 0", IccChunk(1, 0, profile), ""},
      {"number past count", IccChunk(2, 1, profile), ""},
      {"no data", IccChunk(1, 2, "") + IccChunk(2, 2, ""), ""},
      {"255 tiny chunks", TinyChunks(255, 255), tiny},
      {"2000 tiny chunks", TinyChunks(2000, 255), ""}};
  for (const auto& [name, segments, kept] : cases) {
    const std::string jpeg = WithSegmentsAfterSoi(testing::EncodeTestJpeg({}), segments, 1);
    EXPECT_EQ(Decoded(jpeg).icc_profile, kept) << name;
  }
}

// At the limit a profile is kept; past it, it is left out and its size said when it is RGB.
TEST(IccProfileLimitTest, ALargerProfileIsLeftOutAndSaid) {
  // size, colour space, kept, said
  const std::tuple<std::size_t, std::string, bool, bool> cases[] = {
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
  for (const auto& [jpeg, orientation] : cases)
    EXPECT_EQ(ReadSourceHeader(tmp.write("e.jpg", jpeg)).orientation, orientation);
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
