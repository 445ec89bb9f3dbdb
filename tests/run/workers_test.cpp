// Many images planned on several threads, the workers that make thumbnails, and the run's stop
// flag (set by StopRun, the workers' Cancel, a signal). The warnings of the images made are
// tried on quorvel-batch.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

#include "job/error.h"
#include "platform/file_system.h"
#include "run/generation_run.h"
#include "run/parallel_for.h"
#include "run/thumbnail_workers.h"
#include "support/gallery.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

// From kTasksPerParallelThread images on, headers are read and thumbnails checked on several
// threads; a broken photo among them is still one image's failure.
TEST(ManyImagesTest, PlanningOnSeveralThreadsKeepsEveryOutcome) {
  TempDir tmp;
  const int count = 2 * static_cast<int>(kTasksPerParallelThread) + 3;
  tmp.mkdir("many");
  for (int i = 0; i < count; ++i) {
    WriteTestJpeg(tmp.file("many/p" + std::to_string(1000 + i) + ".jpg"), {.width = 8});
  }
  tmp.write("many/p1007.jpg", "not a photo");
  const GallerySettings settings = GalleryInto(tmp.path(), {tmp.file("many")});
  const RunSummary first = RunGallery(settings, {.jobs = 2}).summary;
  EXPECT_EQ(std::tie(first.images_done, first.images_failed, first.thumbnails_made),
            std::make_tuple(count - 1, 1, count - 1));
  ASSERT_EQ(first.failures.size(), 1u);
  EXPECT_EQ(first.failures[0].path, tmp.file("many/p1007.jpg"));
  const RunSummary second = RunGallery(settings, {.jobs = 2}).summary;
  EXPECT_EQ(std::tie(second.images_done, second.thumbnails_made, second.pages_unchanged),
            std::make_tuple(count - 1, 0, 1));
}

TEST(ForEachInParallelTest, WhatATaskLetsEscapeReachesTheCallerOnce) {
  std::atomic<int> calls = 0;
  const auto throwing = [&](std::size_t i) {
    ++calls;
    if (i == 700) throw std::runtime_error("task 700");
  };
  EXPECT_THROW(ForEachInParallel(4 * kTasksPerParallelThread, 4, throwing), std::runtime_error);
  EXPECT_LE(calls.load(), static_cast<int>(4 * kTasksPerParallelThread));
}

// Two jobs with one target never overlap, and a cancel drops what has not started. (A stop with
// workers is tried on quorvel-batch in the kill test.)
ThumbnailJob Job(const std::string& source, const std::string& target) {
  return {.request = {.source = source, .outputs = {{.target = target}}}, .directory = ""};
}

TEST(ThumbnailWorkersTest, JobsWithOneTargetRunInListOrder) {
  TempDir tmp;
  std::vector<ThumbnailJob> jobs;
  for (int i = 0; i < 6; ++i) {
    const std::string source = tmp.file("s" + std::to_string(i) + ".jpg");
    WriteTestJpeg(source, {.width = 30 + 10 * i});
    jobs.push_back(Job(source, tmp.file("t.jpg")));
  }
  jobs.push_back(Job(tmp.file("missing.jpg"), tmp.file("m.jpg")));
  ThumbnailWorkers workers(jobs, 4);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(workers.Wait(i).failure, "");
  EXPECT_EQ(workers.Wait(6).failure, "Cannot open file " + tmp.file("missing.jpg") + " (" +
                                         platform::ErrorText(ENOENT) + ")");
  imaging::FastImage holder;
  jobs[5].request.outputs.front().target = tmp.file("last.jpg");
  ASSERT_TRUE(MakeThumbnailJob(jobs[5], holder).made);
  EXPECT_EQ(ReadFile(tmp.file("t.jpg")), ReadFile(tmp.file("last.jpg")));
}

// A decode that finds the flag set is stopped, neither made nor failed, and writes nothing.
// Cancel drops the jobs not started (only the few within reach of the page writer were) and
// sets the flag only while a job is unfinished.
TEST(ThumbnailWorkersTest, CancelDropsPendingJobsAndSetsTheFlagOnlyWhileJobsRemain) {
  TempDir tmp;
  const std::string source = WriteTestJpeg(tmp.file("s.jpg"));
  std::atomic<bool> stop = true;
  ThumbnailJob stopped = Job(source, tmp.file("t.jpg"));
  stopped.request.limits.stop = &stop;
  imaging::FastImage holder;
  const ThumbnailResult result = MakeThumbnailJob(stopped, holder);
  EXPECT_TRUE(result.stopped && !result.made && result.failure.empty());
  EXPECT_FALSE(std::filesystem::exists(tmp.file("t.jpg")));
  for (const int finish : {40, 1}) {
    stop = false;
    std::vector<ThumbnailJob> jobs;
    for (int i = 0; i < 200; ++i) jobs.push_back(Job(source, tmp.file(std::to_string(i) + ".jpg")));
    jobs.resize(finish == 40 ? 40 : 200);
    ThumbnailWorkers workers(jobs, 2, &stop);
    for (int i = 0; i < finish; ++i) EXPECT_TRUE(workers.Wait(i).made);
    workers.Cancel();
    EXPECT_EQ(stop.load(), finish == 1);
    if (finish == 1) {
      EXPECT_FALSE(std::filesystem::exists(tmp.file("199.jpg")));
      EXPECT_THROW(workers.Wait(199), Error);
    }
  }
}

// Four photos, the second cut off in its data; `jobs` workers.
class StopTest : public ::testing::TestWithParam<int> {
 protected:
  StopTest() {
    for (int i = 0; i < 4; ++i) {
      const std::string jpeg = EncodeTestJpeg({.width = 64, .height = 48});
      tmp_.write("photos/p" + std::to_string(i) + ".jpg",
                 i == 1 ? jpeg.substr(0, jpeg.size() / 2) : jpeg);
    }
  }
  TempDir tmp_;
  GallerySettings settings_ = GalleryInto(tmp_.path(), {tmp_.file("photos")});
};

// The flag set between two ticks ends the run at the next one, as StopRun does: the page holds
// the images done, none failed.
TEST_P(StopTest, TheStopFlagEndsTheRunAtTheNextTick) {
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

INSTANTIATE_TEST_SUITE_P(Workers, StopTest, ::testing::Values(1, 2));

}  // namespace
}  // namespace quorvel::testing
