// quorvel-batch as a newcomer runs it: relative paths typed from a folder beside the gallery,
// one folder spelt several ways, a file that only claims to be a JPEG, a refused clash, a
// directory that cannot be written, the orientation options, a saved state file, and no
// configuration file read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "imaging/jpeg_header.h"
#include "support/gallery.h"
#include "support/temp_dir.h"

namespace quorvel::testing {
namespace {

class BatchTest : public ::testing::Test {
 protected:
  ProcessResult Batch(std::vector<std::string> args, const std::string& cwd = "") {
    args.insert(args.begin(), QUORVEL_BATCH);
    return RunProgram(args, cwd.empty() ? tmp_.path() : cwd);
  }
  static bool Has(const ProcessResult& r, const std::string& text) {
    return r.output.find(text) != std::string::npos;
  }

  TempDir tmp_;
  const std::vector<std::string> dirs_ = MakeAwkwardLibrary(tmp_);
};

TEST_F(BatchTest, UsageAndTheOptionsANewcomerMisses) {
  EXPECT_TRUE(Has(Batch({}), "Usage"));
  EXPECT_EQ(Batch({}).status, 2);
  const ProcessResult help = Batch({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_LT(help.output.find("-o,--output"), help.output.find("--html-dir")) << help.output;
  EXPECT_EQ(Batch({"--version"}).status, 0);
  EXPECT_EQ(Batch({"--no-such-option", "x"}).status, 2);
  EXPECT_EQ(Batch({"-o", "a", "--html-dir", "b", "photos"}).status, 2);
  const ProcessResult bare = Batch({"photos"});
  EXPECT_EQ(bare.status, 2);
  for (const char* text : {"You must create or choose directory first!", "--html-dir DIR",
                           "--thumb-dir DIR", "-o DIR"}) {
    EXPECT_TRUE(Has(bare, text)) << bare.output;
  }
}

TEST_F(BatchTest, OneFolderTypedFourWaysFromBesideTheGallery) {
  const ProcessResult r =
      Batch({"-o", "../web/new", ".", "./", tmp_.file("photos"), "sub", "../linked"},
            tmp_.file("photos"));
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_TRUE(Has(r, tmp_.file("photos/notes.jpg") +
                         ": JPEG error #53 (Not a JPEG file: starts with 0x6e 0x6f)\n"))
      << r.output;
  EXPECT_TRUE(Has(r, "11 images done, 1 failed, 1 pages written\n")) << r.output;
  EXPECT_EQ(Files(tmp_.file("web/new/thumbs")).size(), 11u);
  EXPECT_EQ(BrokenLinks(tmp_.path()), "");
}

TEST_F(BatchTest, RefusalsBeforeAnythingIsWritten) {
  const ProcessResult clash = Batch({"-o", "web", "--set", "ThumbnailNameMask=same", "photos"});
  EXPECT_EQ(clash.status, 2);
  EXPECT_TRUE(Has(clash, "(ThumbnailNameMask)")) << clash.output;
  const ProcessResult unwritable = Batch({"-o", "web", "--thumb-dir", "/proc", "photos"});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_TRUE(Has(unwritable, "quorvel-batch: Cannot write to directory /proc ("))
      << unwritable.output;
  EXPECT_TRUE(Files(tmp_.file("web")).empty());
  EXPECT_EQ(Batch({"--html-dir", "nope", "--thumb-dir", "photos", "photos"}).status, 2);
  EXPECT_EQ(Batch({"-o", "web", "missing"}).status, 2);
  EXPECT_EQ(Batch({"-o", "web", "--set", "Bold=true", "photos"}).status, 2);
}

TEST_F(BatchTest, OrientationAndProfileOptionsEachSwitchOffOneThing) {
  const std::tuple<const char*, int, int, bool> cases[] = {
      {"-q", 52, 70, true}, {"--no-orient", 70, 52, true}, {"--no-profile", 52, 70, false}};
  for (const auto& [option, width, height, profile] : cases) {
    ASSERT_EQ(Batch({option, "-o", std::string("web/") + option, "other place"}).status, 0);
    const auto header = imaging::ReadThumbnailHeader(
        tmp_.file(std::string("web/") + option + "/thumbs/x y_thumb.jpg"));
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(std::tie(header->width, header->height, header->profile),
              std::tie(width, height, profile));
  }
}

TEST_F(BatchTest, ASavedStateGivesTheSameGalleryAndNoConfigurationIsRead) {
  // Read as a configuration file, a directory would be refused.
  tmp_.mkdir("config/quorvelandiscope/quorvel.cfg");
  ::setenv("XDG_CONFIG_HOME", tmp_.file("config").c_str(), 1);
  const std::vector<std::string> sets = {
      "--set", "ThumbnailsInRow=2", "--set", "PageSettings.Title=Trip", "--set", "Quality=80"};
  auto args = sets;
  args.insert(args.end(), {"-q", "-o", "web", "photos/sub"});
  ASSERT_EQ(Batch(args).status, 0);
  const auto gallery = Files(tmp_.file("web"));
  std::filesystem::remove_all(tmp_.file("web"));
  args = sets;
  args.insert(args.end(), {"--save-state", "job.qvl"});
  ASSERT_EQ(Batch(args).status, 0);
  ASSERT_EQ(Batch({"-q", "--state", "job.qvl", "-o", "web", "photos/sub"}).status, 0);
  EXPECT_EQ(Files(tmp_.file("web")), gallery);
  EXPECT_NE(gallery.at("index.html").find("<title>Trip</title>"), std::string::npos);
  EXPECT_TRUE(Files(tmp_.file("config")).empty());
}

}  // namespace
}  // namespace quorvel::testing
