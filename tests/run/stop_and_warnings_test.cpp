// The run's stop flag (set by StopRun, the workers' Cancel, a signal) and the warnings of the
// images it made, as the run's summary reports them.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "run/generation_run.h"
#include "run/thumbnail_workers.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

// Four photos, the second cut off in its data; `jobs` workers.
class StopAndWarningsTest : public ::testing::TestWithParam<int> {
 protected:
  StopAndWarningsTest() {
    for (int i = 0; i < 4; ++i) {
      const std::string jpeg = EncodeTestJpeg({.width = 64, .height = 48});
      tmp_.write("photos/p" + std::to_string(i) + ".jpg",
                 i == 1 ? jpeg.substr(0, jpeg.size() / 2) : jpeg);
    }
  }
  TempDir tmp_;
  GallerySettings settings_ = GalleryInto(tmp_.path(), {tmp_.file("photos")});
};

TEST_P(StopAndWarningsTest, TheWarningsOfTheImagesMadeAreInTheSummary) {
  const RunSummary s = RunGallery(settings_, {.jobs = GetParam()}).summary;
  EXPECT_EQ(s.images_done, 4);
  ASSERT_EQ(s.warnings.size(), 1u);
  EXPECT_EQ(s.warnings[0].path, tmp_.file("photos/p1.jpg"));
  EXPECT_EQ(s.warnings[0].message, "Premature end of JPEG file (JPEG warning #120, and 1 more)");
  // A kept thumbnail is not decoded again, so it has nothing to warn of.
  EXPECT_TRUE(RunGallery(settings_, {.jobs = GetParam()}).summary.warnings.empty());
}

// The flag set between two ticks ends the run at the next one, as StopRun does: the page holds
// the images done, none failed.
TEST_P(StopAndWarningsTest, TheStopFlagEndsTheRunAtTheNextTick) {
  RunEnvironment env;
  env.imaging.jobs = GetParam();
  GenerationRun run(settings_, env);
  ASSERT_EQ(run.StartRun(), GenerationRun::Start::Started);
  ASSERT_TRUE(run.RunTick());
  run.StopFlag() = true;
  EXPECT_FALSE(run.RunTick());
  EXPECT_FALSE(run.running());
  EXPECT_TRUE(run.summary().stopped);
  EXPECT_EQ(run.summary().images_done, 1);
  EXPECT_TRUE(run.summary().failures.empty());
  EXPECT_EQ(BrokenLinks(tmp_.path()), "");
}

INSTANTIATE_TEST_SUITE_P(Workers, StopAndWarningsTest, ::testing::Values(1, 2));

ThumbnailJob Job(const std::string& source, const std::string& target) {
  return {.request = {.source = source, .outputs = {{.target = target}}}, .directory = ""};
}

// A decode that finds the flag set is stopped, neither made nor failed, and writes nothing;
// Cancel sets the flag only while a job is unfinished.
TEST(ThumbnailWorkersStopTest, CancelSetsTheFlagOnlyWhileJobsRemain) {
  TempDir tmp;
  const std::string source = WriteTestJpeg(tmp.file("s.jpg"));
  std::atomic<bool> stop = true;
  ThumbnailJob stopped = Job(source, tmp.file("t.jpg"));
  stopped.request.limits.stop = &stop;
  imaging::FastImage holder;
  const ThumbnailResult result = MakeThumbnailJob(stopped, holder);
  EXPECT_TRUE(result.stopped && !result.made && result.failure.empty());
  EXPECT_FALSE(std::filesystem::exists(tmp.file("t.jpg")));
  for (const bool finish : {true, false}) {
    stop = false;
    std::vector<ThumbnailJob> jobs;
    for (int i = 0; i < 40; ++i) jobs.push_back(Job(source, tmp.file(std::to_string(i) + ".jpg")));
    ThumbnailWorkers workers(jobs, 2, &stop);
    for (int i = 0; i < (finish ? 40 : 1); ++i) EXPECT_TRUE(workers.Wait(i).made);
    workers.Cancel();
    EXPECT_EQ(stop.load(), !finish);
  }
}

}  // namespace
}  // namespace quorvel::testing
