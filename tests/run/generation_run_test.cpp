// The run over the awkward library: golden pages whose every link leads to a file, four workers
// writing the bytes of one, update mode keeping only current thumbnails; the workers alone.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "job/error.h"
#include "platform/file_system.h"
#include "run/output_plan.h"
#include "run/parallel_for.h"
#include "run/thumbnail_workers.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

struct GalleryCase {
  const char* name;
  std::vector<std::string> sets;  // Field=Value; "$" stands for the library's root
};

void PrintTo(const GalleryCase& c, std::ostream* out) { *out << c.name; }

GallerySettings Library(const TempDir& tmp, const GalleryCase& c = {}) {
  GallerySettings settings = GalleryInto(tmp.path(), MakeAwkwardLibrary(tmp));
  for (std::string set : c.sets) {
    if (const std::size_t at = set.find('$'); at != std::string::npos)
      set.replace(at, 1, tmp.path());
    SetFields(settings, {set});
  }
  return settings;
}

// The summary and the pages, with the temporary directory left out of their paths.
std::string SummaryText(const GalleryResult& r, const std::string& root) {
  const RunSummary& s = r.summary;
  std::string text = std::to_string(s.images_done) + " done, " + std::to_string(s.images_failed) +
                     " failed, " + std::to_string(s.thumbnails_made) + " made, pages:\n";
  for (const std::string& page : r.pages) text += page.substr(root.size()) + "\n";
  for (const ImageFailure& f : s.failures)
    text += f.path.substr(root.size()) + ": " + f.message + "\n";
  return text + s.page_error;
}

class GalleryCaseTest : public ::testing::TestWithParam<GalleryCase> {};

TEST_P(GalleryCaseTest, PagesAreGoldenLinksLeadToFilesAndWorkersChangeNoByte) {
  TempDir one, four;
  const GalleryResult r = RunGallery(Library(one, GetParam()));
  const std::string golden = std::string("run/") + GetParam().name + "/";
  EXPECT_EQ(CompareWithGolden(SummaryText(r, one.path()), golden + "summary.txt"), "");
  for (const std::string& page : r.pages) {
    const std::string name = golden + page.substr(one.path().size() + 1);
    EXPECT_EQ(CompareWithGolden(ReadFile(page), name), "");
  }
  std::vector<std::string> planned;
  for (const PagePlan& p : PlanOutputs(r.settings, r.images, PathStyle::Posix).layout.pages) {
    planned.push_back(p.path);
  }
  EXPECT_EQ(r.pages, planned);
  int links = 0;
  EXPECT_EQ(BrokenLinks(one.path(), &links), "");
  EXPECT_GT(links, 20);
  RunGallery(Library(four, GetParam()), {.jobs = 4});
  EXPECT_TRUE(Files(one.path()) == Files(four.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Library, GalleryCaseTest,
    ::testing::Values(
        GalleryCase{"plain", {}},
        GalleryCase{"split",
                    {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2", "ThumbnailsInColumn=2",
                     "CreatePicturePages=1", "TargetFrame=3"}},
        GalleryCase{"per_directory",
                    {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=3", "ThumbnailsInColumn=1",
                     "NewHTMLForEachDirectory=1", "HTMLFileMask=%d_%n.html"}},
        // The background is linked from each directory's own pages.
        GalleryCase{
            "into_image_directories",
            {"SeparateHTML=1", "SplitHTML=1", "ThumbnailsInRow=2", "ThumbnailsInColumn=2",
             "HTMLIntoImageDirectory=1", "ThumbnailsIntoImageDirectory=1", "CreatePicturePages=1",
             "PageSettings.UseBackgroundImage=1", "PageSettings.BackgroundImage=$/bg.png"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateModeTest, KeepsOnlyThumbnailsThatAreStillCurrent) {
  TempDir tmp;
  const GallerySettings settings = Library(tmp);
  const auto made = [](const GallerySettings& s, const ImagingOptions& imaging = {}) {
    return RunGallery(s, imaging).summary.thumbnails_made;
  };
  ASSERT_EQ(made(settings), 13);
  EXPECT_EQ(made(settings), 0);
  // An edited photo of the same size: only its newer time tells.
  WriteTestJpeg(tmp.file("photos/zebra.jpeg"), {.width = 105, .height = 48, .quality = 40});
  EXPECT_EQ(made(settings), 1);
  // Only the phone's photo has an orientation and a profile to leave out.
  EXPECT_EQ(made(settings, {.apply_orientation = false}), 1);
  EXPECT_EQ(made(settings, {.keep_color_profile = false}), 1);
  EXPECT_EQ(made(settings), 1);
  const std::vector<std::string> changes[] = {{"Quality=61"},
                                              {"ThumbnailWidth=60", "ThumbnailHeight=60"},
                                              {"Grayscale=1"},
                                              {"UpdateHTML=0"}};
  for (const auto& change : changes) {
    GallerySettings changed = settings;
    SetFields(changed, change);
    EXPECT_EQ(made(changed), 13);
    EXPECT_EQ(made(changed), changed.Output.UpdateHTML ? 0 : 13);
    EXPECT_EQ(made(settings), changed.Output.UpdateHTML ? 13 : 0);
  }
}

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
