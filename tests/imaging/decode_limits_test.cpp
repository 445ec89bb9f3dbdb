// The bounds of a decode on crafted files: scans counted through libjpeg's progress monitor, the
// memory a header announces, the stop flag ending a decode in hand, libjpeg's warnings kept for
// the image's report, the workers the machine's memory bears; the Orientation found while
// planning is the one a thumbnail is turned by.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/exif_orientation.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_header.h"
#include "imaging/orientation.h"
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
  // What planning says of the bytes, then what making a thumbnail of them says: "" when it
  // works, else the error; then each warning.
  std::string Outcome(const std::string& bytes, const DecodeLimits& limits = {}) {
    const std::string path = tmp_.write("c.jpg", bytes);
    std::string text;
    try {
      ReadSourceHeader(path, limits);
      text = "planned";
    } catch (const Error& e) {
      text = MessageWithDetail(e);
    }
    ThumbnailRequest request{path, tmp_.file("t.jpg")};
    request.limits = limits;
    try {
      for (const std::string& warning : MakeThumbnail(holder_, request))
        text += "; warning: " + warning;
      text += "; made";
    } catch (const Error& e) {
      text += "; " + MessageWithDetail(e);
    }
    return text;
  }
};

TEST_F(LimitTest, ScansPastTheLimitAreRefusedWhileDecoding) {
  const std::string progressive = EncodeTestJpeg({.width = 24, .height = 16, .progressive = true});
  const int own = Scans(progressive);
  const std::string name = tmp_.file("c.jpg");
  const std::string at_limit = testing::WithRepeatedLastScan(progressive, kMaxScans - own);
  ASSERT_EQ(Scans(at_limit), kMaxScans);
  // Each repetition of a refinement scan is a progression libjpeg warns of.
  EXPECT_TRUE(Outcome(at_limit).starts_with(
      "planned; warning: Inconsistent progression sequence for component 0 coefficient 1 "
      "(JPEG warning #115, and "));
  EXPECT_TRUE(Outcome(at_limit).ends_with(" more); made"));
  std::filesystem::remove(tmp_.file("t.jpg"));
  EXPECT_EQ(Outcome(testing::WithRepeatedLastScan(progressive, kMaxScans - own + 1)),
            "planned; " + name + " has more than the 100 scans accepted");
  EXPECT_EQ(
      Outcome(testing::WithRepeatedLastScan(progressive, 2), {.max_scans = own + 1}),
      "planned; " + name + " has more than the " + std::to_string(own + 1) + " scans accepted");
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("t.jpg")));
}

// Progressive and multi-scan files keep every coefficient; baseline ones stream whatever their
// size. A 100-megapixel progressive photo fits the budget, 4:4:4 included.
TEST_F(LimitTest, TheMemoryAHeaderAnnouncesIsCheckedBeforeItIsTaken) {
  const std::string name = tmp_.file("c.jpg");
  const auto announced = [](testing::TestJpegOptions o, int width, int height) {
    o.width = o.height = 16;
    return WithFrameSize(EncodeTestJpeg(o), width, height);
  };
  // Refused while planning and while decoding alike.
  for (const auto& [options, needs] : std::vector<std::pair<testing::TestJpegOptions, std::string>>{
           {{.progressive = true}, "1207 MB to decode (progressive"},
           {{.components = 1, .progressive = true}, "803 MB to decode (progressive"},
           {{.scan_per_component = true}, "1207 MB to decode (multi-scan"}}) {
    const std::string refused =
        name + " needs " + needs + ", 20000 x 20000), more than the 640 MB a worker may use";
    EXPECT_EQ(Outcome(announced(options, 20000, 20000)), refused + "; " + refused);
  }
  for (const testing::TestJpegOptions& o :
       {testing::TestJpegOptions{.progressive = true, .full_chroma = true},
        testing::TestJpegOptions{.full_chroma = true, .scan_per_component = true}}) {
    EXPECT_NO_THROW(ReadSourceHeader(tmp_.write("c.jpg", announced(o, 12247, 8165))));
  }
  EXPECT_NO_THROW(ReadSourceHeader(tmp_.write("c.jpg", announced({}, 20000, 20000))));
  // A lower budget refuses a real picture while planning and while decoding alike.
  const std::string small = EncodeTestJpeg({.width = 640, .height = 480, .progressive = true});
  const std::string low = name + " needs 2 MB to decode (progressive, 640 x 480), more than the " +
                          "1 MB a worker may use";
  EXPECT_EQ(Outcome(small, {.memory_budget = 1000000}), low + "; " + low);
  EXPECT_EQ(Outcome(small, {.memory_budget = 1200000}), "planned; made");
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

// libjpeg's warnings and a profile left out reach the image's report; a clean file has none.
TEST_F(LimitTest, WarningsOfTheDecodeAreKept) {
  const std::string whole = EncodeTestJpeg({.width = 64, .height = 64});
  const std::string big_profile = testing::TestIccProfile(kMaxCarriedProfileBytes + 1);
  EXPECT_EQ(Outcome(whole), "planned; made");
  EXPECT_EQ(Outcome(whole.substr(0, whole.size() / 2)),
            "planned; warning: Premature end of JPEG file (JPEG warning #120, and 1 more); made");
  EXPECT_EQ(Outcome(WithFrameSize(EncodeTestJpeg({.quality = 50}), 2000, 2000)),
            "planned; warning: Corrupt JPEG data: premature end of data segment (JPEG warning "
            "#117); made");
  EXPECT_EQ(Outcome(EncodeTestJpeg({.icc = big_profile})),
            "planned; warning: ICC profile of 1000001 bytes not copied into the thumbnail (more "
            "than the 1000000 bytes accepted); made");
  const std::string path = tmp_.write("p.jpg", EncodeTestJpeg({.icc = big_profile}));
  for (const bool gray : {false, true}) {
    ThumbnailRequest request{path, tmp_.file("t.jpg")};
    request.grayscale = gray;
    request.keep_color_profile = !gray;
    EXPECT_EQ(MakeThumbnail(holder_, request).size(), gray ? 0u : 1u);
  }
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

// The Exif block is read once, while planning: making turns by the request's Orientation,
// whatever the file says; a block whose IFDs all point back at IFD0 reads in one pass.
TEST_F(LimitTest, TheOrientationFoundWhilePlanningTurnsTheThumbnail) {
  const std::string looping = testing::ExifWithLoopingIfds(6, 5400);
  EXPECT_EQ(ReadExifOrientation(looping), 6);
  const std::string source = Source({.width = 50, .height = 30, .exif = looping});
  EXPECT_EQ(ReadSourceHeader(source).orientation, 6);
  ThumbnailRequest request{source, tmp_.file("t.jpg")};
  MakeThumbnail(holder_, request);
  const TFastBmp plain = holder_.FastBMP();
  for (const int orientation : {3, 6}) {
    request.orientation = orientation;
    MakeThumbnail(holder_, request);
    EXPECT_EQ(FirstDifference(holder_.FastBMP(), OrientBitmap(plain, orientation)), "");
  }
}

}  // namespace
}  // namespace quorvel::imaging::test
