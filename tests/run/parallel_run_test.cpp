// Thumbnails on worker threads: a parallel run writes exactly the bytes of a one-worker run,
// a stop leaves complete pages and only complete thumbnails, and two jobs with one target
// never overlap.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "job/error.h"
#include "run/generation_run.h"
#include "run/thumbnail_workers.h"
#include "imaging/jpeg_decoder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

// Every file below `root`, by path relative to it, with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path().string());
    }
  }
  return files;
}

// Three directories of photos of assorted sizes, one file that is no JPEG among them.
GallerySettings Tree(const TempDir& tmp, bool thumbnails_beside_images) {
  GallerySettings s;
  tmp.mkdir("web");
  tmp.mkdir("thumbs");
  for (int d = 0; d < 3; ++d) {
    const std::string dir = "pics" + std::to_string(d);
    tmp.mkdir(dir);
    for (int i = 0; i < 9 + 4 * d; ++i) {
      testing::TestJpegOptions o;
      o.width = 20 + 13 * i;
      o.height = 15 + 7 * ((i + d) % 5);
      o.components = i % 4 == 3 ? 1 : 3;
      o.pixel = [=](int x, int y, int c) {
        return static_cast<std::uint8_t>((x * (3 + i) + y * (5 + d) + 40 * c) % 256);
      };
      testing::WriteTestJpeg(tmp.file(dir + "/img" + std::to_string(i) + ".jpg"), o);
    }
    s.Output.Directories.push_back(tmp.file(dir));
  }
  tmp.write("pics1/broken.jpg", "not a picture");
  s.Output.HTMLDirectory = tmp.file("web/");
  s.Output.AllThumbnailsDirectory = tmp.file("thumbs/");
  s.Output.ThumbnailsIntoImageDirectory = thumbnails_beside_images;
  s.Output.ThumbnailsInRow = 3;
  s.Output.ThumbnailsInColumn = 2;
  s.Output.SplitHTML = true;
  s.Picture.CreatePicturePages = true;
  return s;
}

RunSummary RunToEnd(const GallerySettings& settings, int jobs, int stop_after = -1) {
  RunEnvironment env;
  env.imaging.jobs = jobs;
  GenerationRun run(settings, env);
  EXPECT_EQ(run.StartRun(), GenerationRun::Start::Started);
  int ticks = 0;
  while (run.RunTick()) {
    if (++ticks == stop_after) run.StopRun();
  }
  return run.summary();
}

TEST(ParallelRunTest, WritesTheBytesOfAOneWorkerRun) {
  for (const bool beside : {false, true}) {
    TempDir one;
    TempDir many;
    const RunSummary a = RunToEnd(Tree(one, beside), 1);
    const RunSummary b = RunToEnd(Tree(many, beside), 4);
    EXPECT_EQ(a.images_done, b.images_done);
    EXPECT_EQ(b.images_failed, 1);
    EXPECT_EQ(a.pages_written, b.pages_written);
    const auto expected = Snapshot(one.path());
    const auto actual = Snapshot(many.path());
    EXPECT_GT(expected.size(), 100u);
    EXPECT_TRUE(expected == actual) << (beside ? "thumbnails beside the images" : "one directory");
  }
}

TEST(ParallelRunTest, StopLeavesCompletePagesAndOnlyCompleteThumbnails) {
  TempDir tmp;
  const RunSummary s = RunToEnd(Tree(tmp, false), 4, 5);
  EXPECT_TRUE(s.stopped);
  EXPECT_EQ(s.images_done + s.images_failed, 5);
  int thumbnails = 0;
  for (const auto& [name, bytes] : Snapshot(tmp.file("thumbs"))) {
    EXPECT_NE(name.front(), '.') << "a temporary file was left: " << name;
    imaging::TFastBmp bmp;
    EXPECT_NO_THROW(imaging::DecodeJpegBytes(bytes, name, bmp)) << name;
    ++thumbnails;
  }
  EXPECT_GE(thumbnails, 5);
  for (const auto& [name, bytes] : Snapshot(tmp.file("web"))) {
    ASSERT_GE(bytes.size(), 9u);
    EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n") << name;
  }
}

TEST(ThumbnailWorkersTest, JobsWithOneTargetRunInListOrder) {
  TempDir tmp;
  std::vector<ThumbnailJob> jobs;
  for (int i = 0; i < 6; ++i) {
    testing::TestJpegOptions o;
    o.width = 30 + 10 * i;
    o.height = 30;
    ThumbnailJob job;
    job.request.source = testing::WriteTestJpeg(tmp.file("s" + std::to_string(i) + ".jpg"), o);
    job.request.target = tmp.file("shared.jpg");
    jobs.push_back(job);
  }
  ThumbnailJob missing;
  missing.request.source = tmp.file("missing.jpg");
  missing.request.target = tmp.file("m.jpg");
  jobs.push_back(missing);
  ThumbnailJob last = jobs[5];
  last.request.target = tmp.file("alone.jpg");

  ThumbnailWorkers workers(jobs, 4);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(workers.Wait(i), "");
  EXPECT_EQ(workers.Wait(6), "Cannot open file " + tmp.file("missing.jpg"));
  imaging::FastImage holder;
  ASSERT_EQ(MakeThumbnailJob(last, holder), "");
  EXPECT_EQ(ReadFile(tmp.file("shared.jpg")), ReadFile(tmp.file("alone.jpg")));
}

TEST(ThumbnailWorkersTest, CancelDropsPendingJobs) {
  TempDir tmp;
  std::vector<ThumbnailJob> jobs;
  const std::string source = testing::WriteTestJpeg(tmp.file("s.jpg"));
  for (int i = 0; i < 200; ++i) {
    ThumbnailJob job;
    job.request.source = source;
    job.request.target = tmp.file("t" + std::to_string(i) + ".jpg");
    jobs.push_back(job);
  }
  ThumbnailWorkers workers(jobs, 2);
  EXPECT_EQ(workers.Wait(0), "");
  workers.Cancel();
  // Only the few jobs within reach of the page writer were started.
  EXPECT_FALSE(fs::exists(tmp.file("t199.jpg")));
  EXPECT_THROW(workers.Wait(199), Error);
}

}  // namespace
}  // namespace quorvel
