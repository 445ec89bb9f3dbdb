// Bad sources, vanishing folders and full disks; the run on several threads, and its stop flag.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <tuple>

#include "imaging/jpeg_header.h"
#include "imaging/thumbnail_maker.h"
#include "job/error.h"
#include "platform/file_system.h"
#include "run/generation_run.h"
#include "run/parallel_for.h"
#include "run/thumbnail_workers.h"
#include "support/crafted_jpeg.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

// What planning says of a source, what making its thumbnail says ("" when it works), and the
// warnings of the thumbnail made.
std::tuple<std::string, std::string, std::string> Outcomes(const std::string& source,
                                                           bool fast = false) {
  std::tuple<std::string, std::string, std::string> outcomes;
  auto& [planned, made, warned] = outcomes;
  try {
    imaging::ReadSourceHeader(source);
  } catch (const Error& e) {
    planned = MessageWithDetail(e);
  }
  imaging::FastImage holder;
  try {
    for (const std::string& warning :
         imaging::MakeThumbnail(holder, {.source = source, .target = source + ".tn", .fast = fast}))
      warned += ", warning: " + warning;
  } catch (const Error& e) {
    made = MessageWithDetail(e);
  }
  return outcomes;
}

TEST(BadSourceTest, PlanningLeavesOutExactlyWhatCannotBeMadeIntoAThumbnail) {
  TempDir tmp;
  const std::string good = EncodeTestJpeg({.width = 64, .height = 48});
  const std::size_t sos = good.find("\xFF\xDA");
  std::string twelve_bit = good;
  twelve_bit[good.find("\xFF\xC0") + 4] = 12;  // the frame's sample precision
  const std::pair<const char*, std::string> files[] = {
      {"empty.jpg", ""},
      {"png.jpg", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
      {"notes.jpg", "Holiday notes: remember the sun cream.\n"},
      {"two_bytes.jpg", good.substr(0, 2)},
      {"cut_in_header.jpg", good.substr(0, 100)},
      {"cut_before_scan.jpg", good.substr(0, sos)},
      {"cut_in_scan.jpg", good.substr(0, sos + 40)},  // an early end is only a warning
      {"cut_before_end.jpg", good.substr(0, good.size() - 2)},
      {"12_bit.jpg", twelve_bit},
      {"beyond_libjpeg.jpg", WithFrameSize(good, 65535, 65535)},
      {"huge.jpg", WithFrameSize(good, 60000, 60000)},
      {"arithmetic.jpg", EncodeTestJpeg({.width = 90, .height = 60, .arithmetic = true})},
      {"cmyk.jpg", EncodeTestJpeg({.components = 4})},  // inverted, as Adobe writes it
      {"ycck.jpg", EncodeTestJpeg({.components = 4, .ycck = true})}};
  std::string transcript;
  for (const auto& [name, bytes] : files) tmp.write(name, bytes);
  ASSERT_EQ(::mkfifo(tmp.file("pipe.jpg").c_str(), 0644), 0);  // would block a plain reader
  tmp.mkdir("folder.jpg");
  std::vector<std::string> names = {"missing.jpg", "pipe.jpg", "folder.jpg"};
  for (const auto& [name, bytes] : files) names.push_back(name);
  for (const std::string& name : names) {
    const auto outcomes = Outcomes(tmp.file(name));
    const auto& [planned, made, warned] = outcomes;
    EXPECT_EQ(made, planned) << name;
    EXPECT_EQ(Outcomes(tmp.file(name), true), outcomes) << name;
    EXPECT_EQ(std::filesystem::exists(tmp.file(name + ".tn")), planned.empty()) << name;
    transcript += name + ": " + (planned.empty() ? "made" + warned : planned) + "\n";
  }
  EXPECT_EQ(CompareWithGolden(WithTmp(transcript, tmp.path()), "run/bad_sources.txt"), "");
  if (::geteuid() != 0) {  // root reads every file
    const std::string secret = WriteTestJpeg(tmp.file("secret.jpg"));
    ::chmod(secret.c_str(), 0);
    const std::string message =
        "Cannot open file " + secret + " (" + platform::ErrorText(EACCES) + ")";
    EXPECT_EQ(Outcomes(secret), std::make_tuple(message, message, ""));
  }
}

// The write-fault hook's victims: the paths below one directory, as on a full disk.
std::string g_full;
int FullBelow(const std::string& path) { return path.starts_with(g_full) ? ENOSPC : 0; }

// Split pages of two rows of two over `count` photos in each of `dirs` below `tmp`.
GallerySettings Photos(const TempDir& tmp, const std::vector<std::string>& dirs, int count) {
  GallerySettings settings = GalleryInto(tmp.path(), {});
  SetFields(settings,
            {"ThumbnailsInRow=2", "ThumbnailsInColumn=2", "SplitHTML=1", "SeparateHTML=1"});
  for (const std::string& dir : dirs) {
    settings.Output.Directories.push_back(tmp.mkdir(dir));
    for (int i = 0; i < count; ++i)
      WriteTestJpeg(tmp.file(dir + "/p" + std::to_string(i) + ".jpg"));
  }
  return settings;
}

// Runs with writes below `prefix` failing, as on a full disk, from tick `from` on (-1: from the
// start).
GalleryResult RunFailing(const GallerySettings& settings, const std::string& prefix, int from) {
  g_full = prefix;
  if (from < 0) platform::SetWriteFaultHookForTesting(FullBelow);
  const GalleryResult r = RunGallery(settings, {}, [from](int n) {
    if (n == from) platform::SetWriteFaultHookForTesting(FullBelow);
  });
  platform::SetWriteFaultHookForTesting(nullptr);
  return r;
}

TEST(BadRunTest, ADirectoryThatVanishesDropsTheCellsOfItsImages) {
  TempDir tmp;
  const GalleryResult r = RunGallery(Photos(tmp, {"a", "b", "c"}, 2), {}, [&](int n) {
    if (n == 2) std::filesystem::remove_all(tmp.file("b"));
  });
  EXPECT_EQ(r.summary.images_done, 4);
  ASSERT_EQ(r.summary.images_failed, 2);
  for (const ImageFailure& f : r.summary.failures) {
    EXPECT_EQ(f.message, "Cannot open file " + f.path + " (" + platform::ErrorText(ENOENT) + ")");
    EXPECT_EQ(f.path.rfind(tmp.file("b/"), 0), 0u) << f.path;
  }
  EXPECT_EQ(Files(tmp.file("thumbs")).size(), 4u);
  EXPECT_EQ(BrokenLinks(tmp.path()), "");
}

// Output directories are refused before any thumbnail (the other refusals and a folder without
// photos are tried on quorvel-batch); a full disk ends the run at the page, keeping the old pages.
TEST(BadRunTest, RefusedDirectoriesAndAFullDisk) {
  TempDir tmp;
  GallerySettings settings = Photos(tmp, {"pics"}, 9);
  EXPECT_EQ(
      RunFailing(settings, tmp.file("web/"), -1).error,
      "Cannot write to directory " + tmp.file("web") + " (" + platform::ErrorText(ENOSPC) + ")");
  GallerySettings unset = settings;
  unset.Output.AllThumbnailsDirectory = "";  // every thumbnail into the working directory
  EXPECT_EQ(RunGallery(unset).error, "You must create or choose thumbnail directory first!");
  EXPECT_TRUE(Files(tmp.file("thumbs")).empty() && Files(tmp.file("web")).empty());
  RunGallery(settings);
  const auto before = Files(tmp.path());
  settings.Page.Title = "New title";
  settings.Output.UpdateHTML = false;
  const GalleryResult r = RunFailing(settings, tmp.path(), 1);
  // The first page closes on the fifth image and cannot be written: the run ends there.
  const std::string full = " (" + platform::ErrorText(ENOSPC) + ")";
  EXPECT_EQ(r.summary.page_error, "Cannot create file " + tmp.file("web/index000.html") + full);
  EXPECT_EQ(r.summary.failures.front().message,
            "Cannot create file " + tmp.file("thumbs/p1_thumb.jpg") + full);
  EXPECT_EQ(Files(tmp.path()), before);
}

// From kTasksPerParallelThread images on, headers are read and thumbnails checked on several
// threads; a broken photo among them is still one image's failure.
TEST(ManyImagesTest, PlanningOnSeveralThreadsKeepsEveryOutcome) {
  TempDir tmp;
  const int count = 2 * static_cast<int>(kTasksPerParallelThread) + 3;
  const GallerySettings settings = Photos(tmp, {"many"}, count);
  tmp.write("many/p7.jpg", "not a photo");
  const RunSummary first = RunGallery(settings, {.jobs = 2}).summary;
  EXPECT_EQ(std::tie(first.images_done, first.images_failed, first.thumbnails_made),
            std::make_tuple(count - 1, 1, count - 1));
  ASSERT_EQ(first.failures.size(), 1u);
  EXPECT_EQ(first.failures[0].path, tmp.file("many/p7.jpg"));
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

ThumbnailJob Job(const std::string& source, const std::string& target) {
  return {.request = {.source = source, .outputs = {{.target = target}}}, .directory = ""};
}

// Two jobs with one target never overlap. A decode that finds the flag set is stopped, neither
// made nor failed, and writes nothing. Cancel drops the jobs not started (only the few within
// reach of the page writer were) and sets the flag only while a job is unfinished.
TEST(ThumbnailWorkersTest, OneTargetInListOrderAndCancelDropsPendingJobs) {
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
  const std::string source = jobs[0].request.source;
  std::atomic<bool> stop = true;
  ThumbnailJob stopped = Job(source, tmp.file("stopped.jpg"));
  stopped.request.limits.stop = &stop;
  const ThumbnailResult result = MakeThumbnailJob(stopped, holder);
  EXPECT_TRUE(result.stopped && !result.made && result.failure.empty());
  EXPECT_FALSE(std::filesystem::exists(tmp.file("stopped.jpg")));
  for (const int finish : {40, 1}) {
    stop = false;
    jobs.clear();
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

// The flag set between two ticks ends the run at the next one, as StopRun does: the page holds
// the images done, none failed.
TEST(StopTest, TheStopFlagEndsTheRunAtTheNextTick) {
  for (const int jobs : {1, 2}) {
    TempDir tmp;
    RunEnvironment env;
    env.imaging.jobs = jobs;
    GenerationRun run(Photos(tmp, {"photos"}, 4), env);
    ASSERT_EQ(run.StartRun(), GenerationRun::Start::Started);
    ASSERT_TRUE(run.RunTick());
    run.StopFlag() = true;
    EXPECT_FALSE(run.RunTick());
    const RunSummary& s = run.summary();
    EXPECT_EQ(std::tuple(run.running(), s.stopped, s.images_done, s.failures.size()),
              std::tuple(false, true, 1, 0u));
    EXPECT_EQ(BrokenLinks(tmp.path()), "");
  }
}

}  // namespace
}  // namespace quorvel::testing
