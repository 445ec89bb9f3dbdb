// The bounds of a decode on crafted files: scans counted through libjpeg's progress monitor, the
// memory a header announces, the stop flag ending a decode in hand, libjpeg's warnings kept for
// the image's report, the workers the machine's memory bears; the Orientation found while
// planning is the one a thumbnail is turned by.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "pictures.h"
#include "support/crafted_jpeg.h"

namespace quorvel::imaging::test {
namespace {

using testing::EncodeTestJpeg;
using testing::WithFrameSize;

int Scans(const std::string& jpeg) {
  int count = 0;
  for (std::size_t at = 0; (at = jpeg.find("\xFF\xDA", at)) != std::string::npos; at += 2) ++count;
  return count;
}

class LimitTest : public PictureTest {
 protected:
  // What planning says of the bytes, then what making a thumbnail of them says: each warning
  // and "made", or the error and whether it left a file.
  std::string Outcome(const std::string& bytes, const DecodeLimits& limits = {}) {
    const std::string path = tmp_.write("c.jpg", bytes);
    std::string text = "planned";
    try {
      ReadSourceHeader(path, limits);
    } catch (const Error& e) {
      text = MessageWithDetail(e);
    }
    ThumbnailRequest request{path, tmp_.file("t.jpg")};
    request.limits = limits;
    std::filesystem::remove(request.target);
    try {
      for (const std::string& warning : MakeThumbnail(holder_, request))
        text += "; warning: " + warning;
      text += "; made";
    } catch (const Error& e) {
      text += "; " + MessageWithDetail(e);
      if (std::filesystem::exists(request.target)) text += "; left a file";
    }
    return text;
  }
};

// Crafted files past each bound and a few within, kept as data with what planning and making
// say of them: scans counted through libjpeg's progress monitor (each repeated refinement scan
// is a progression libjpeg warns of); the memory a header announces, checked before it is taken
// (progressive and multi-scan files keep every coefficient), under the default budget and a
// lower one; libjpeg's warnings and a profile left out, kept for the image's report.
TEST_F(LimitTest, CraftedFilesAsKept) {
  const std::string progressive = EncodeTestJpeg({.width = 24, .height = 16, .progressive = true});
  const int own = Scans(progressive);
  const auto huge = [](testing::TestJpegOptions o) {
    o.width = o.height = 16;
    return WithFrameSize(EncodeTestJpeg(o), 20000, 20000);
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
    text += name + ": " + Outcome(bytes, limits) + "\n";
  EXPECT_EQ(testing::CompareWithGolden(testing::WithTmp(text, tmp_.path()),
                                       "imaging/crafted_outcomes.txt"),
            "");
  // A gray thumbnail carries no profile (c.jpg is the last case's), so nothing is said.
  ThumbnailRequest gray{tmp_.file("c.jpg"), tmp_.file("t.jpg"), 70, 70, 60, true};
  gray.keep_color_profile = false;
  EXPECT_EQ(MakeThumbnail(holder_, gray).size(), 0u);
  // Baseline files stream whatever their size; a 100-megapixel progressive photo fits the
  // budget, 4:4:4 included.
  EXPECT_NO_THROW(ReadSourceHeader(tmp_.write("c.jpg", huge({}))));
  for (const testing::TestJpegOptions& o :
       {testing::TestJpegOptions{
            .width = 16, .height = 16, .progressive = true, .full_chroma = true},
        testing::TestJpegOptions{
            .width = 16, .height = 16, .full_chroma = true, .scan_per_component = true}}) {
    const std::string jpeg = WithFrameSize(EncodeTestJpeg(o), 12247, 8165);
    EXPECT_NO_THROW(ReadSourceHeader(tmp_.write("c.jpg", jpeg)));
  }
}

// The flag ends a decode at its next look: before the scans of a progressive file are read,
// between two batches of rows of a baseline one; nothing is written.
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
    try {
      DecodeJpegBytesRows(jpeg, "s.jpg", consumer, {.stop = &consumer.stop});
      ADD_FAILURE() << "not stopped";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "Stopped while decoding s.jpg");
    }
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
  const std::vector<std::tuple<int, std::uint64_t, int>> cases = {
      {2, 24 * gb, 2},
      {8, 4 * gb, 3},
      {8, 1 * gb, 1},
      {16, 64 * gb, 16},
      {4, 0, 1},
      {0, 24 * gb, 1},
      {64, 2560 * kWorkerMemoryBudget / 1000, 1}};
  for (const auto& [threads, memory, workers] : cases) {
    EXPECT_EQ(WorkersWithinMemory(threads, memory), workers) << threads << " " << memory;
  }
}

}  // namespace
}  // namespace quorvel::imaging::test
