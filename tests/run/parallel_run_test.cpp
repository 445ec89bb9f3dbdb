// Thumbnail workers: two jobs with one target never overlap, and a cancel drops what has not
// started. (A stop with workers is tried on quorvel-batch in the kill test.)
#include <gtest/gtest.h>

#include <filesystem>

#include "job/error.h"
#include "run/thumbnail_workers.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

ThumbnailJob Job(const std::string& source, const std::string& target) {
  return {.request = {.source = source, .target = target}, .directory = ""};
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
  EXPECT_EQ(workers.Wait(6).failure, "Cannot open file " + tmp.file("missing.jpg"));
  imaging::FastImage holder;
  jobs[5].request.target = tmp.file("last.jpg");
  ASSERT_TRUE(MakeThumbnailJob(jobs[5], holder).made);
  EXPECT_EQ(ReadFile(tmp.file("t.jpg")), ReadFile(tmp.file("last.jpg")));
}

TEST(ThumbnailWorkersTest, CancelDropsPendingJobs) {
  TempDir tmp;
  const std::string source = WriteTestJpeg(tmp.file("s.jpg"));
  std::vector<ThumbnailJob> jobs;
  for (int i = 0; i < 200; ++i) jobs.push_back(Job(source, tmp.file(std::to_string(i) + ".jpg")));
  ThumbnailWorkers workers(jobs, 2);
  EXPECT_TRUE(workers.Wait(0).made);
  workers.Cancel();
  // Only the few jobs within reach of the page writer were started.
  EXPECT_FALSE(std::filesystem::exists(tmp.file("199.jpg")));
  EXPECT_THROW(workers.Wait(199), Error);
}

}  // namespace
}  // namespace quorvel::testing
