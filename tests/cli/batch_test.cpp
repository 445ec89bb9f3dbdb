// quorvel-batch as a newcomer runs it: its messages and refusals, relative paths typed from a
// folder beside the gallery, the orientation options, a saved state, no configuration read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "imaging/jpeg_header.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::testing {
namespace {

class BatchTest : public ::testing::Test {
 protected:
  ProcessResult Batch(std::vector<std::string> args, const std::string& cwd = "") {
    args.insert(args.begin(), QUORVEL_BATCH);
    return RunProgram(args, cwd.empty() ? tmp_.path() : cwd);
  }

  TempDir tmp_;
  const std::vector<std::string> dirs_ = MakeAwkwardLibrary(tmp_);
};

// What each call a newcomer might try prints, and its exit status; none writes a file.
TEST_F(BatchTest, UsageAndRefusalsAsANewcomerMeetsThem) {
  const std::vector<std::string> calls[] = {
      {},
      {"--no-such-option", "x"},
      {"-o", "a", "--html-dir", "b", "photos"},
      {"photos"},
      {"-o", "web", "--set", "ThumbnailNameMask=same", "photos"},
      {"--html-dir", "nope", "--thumb-dir", "photos", "photos"},
      {"-o", "web", "--set", "ThumbnailsIntoImageDirectory=1", "--set",
       "ThumbnailDirectoryName=", "photos"},
      {"-o", "web", "photos/empty"},
      {"-o", "web", "missing"},
      {"-o", "web", "--set", "Bold=true", "photos"}};
  std::string transcript;
  for (const std::vector<std::string>& args : calls) {
    const ProcessResult r = Batch(args);
    transcript += "$ quorvel-batch";
    for (const std::string& arg : args) transcript += " " + arg;
    transcript += "\n" + r.output + "exit " + std::to_string(r.status) + "\n";
  }
  EXPECT_EQ(CompareWithGolden(WithTmp(transcript, tmp_.path()), "cli/newcomer.txt"), "");
  EXPECT_EQ(Batch({"--help"}).status, 0);
  EXPECT_EQ(Batch({"--version"}).status, 0);
  EXPECT_TRUE(Files(tmp_.file("web")).empty());
}

TEST_F(BatchTest, OneFolderTypedFourWaysFromBesideTheGallery) {
  const ProcessResult r =
      Batch({"-q", "-o", "../web/new", ".", "./", tmp_.file("photos"), "sub", "../linked"},
            tmp_.file("photos"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "$TMP/photos/notes.jpg: JPEG error #53 (Not a JPEG file: starts with 0x6e 0x6f)\n"
            "11 images done, 1 failed, 1 page written\n");
  EXPECT_EQ(Files(tmp_.file("web/new/thumbs")).size(), 11u);
  EXPECT_EQ(BrokenLinks(tmp_.path()), "");
}

// Names that hold escape sequences: every name printed (progress, failures, refusals, the page
// path on stdout) shows them escaped, with and without -q, so no byte reaches the terminal
// that it would act on.
TEST_F(BatchTest, NamesWithControlCharactersArePrintedEscaped) {
  const std::string esc = "esc\x1b]2;PWNED\x07\x1b[2J";
  const std::string shown = "esc\\x1B]2;PWNED\\x07\\x1B[2J";
  tmp_.mkdir("t" + esc);
  WriteTestJpeg(tmp_.file("t" + esc + "/" + esc + ".jpg"));
  tmp_.write("t" + esc +
                 "/bell\a\x9B"
                 "2J.jpg",
             "not a photo\n");
  const std::vector<std::string> calls[] = {
      {"-o", "web" + esc, "t" + esc},
      {"-q", "-o", "web" + esc, "t" + esc},
      {"-q", "-o", "web", "--set", "ThumbnailNameMask=same", "t" + esc},
      {"-o", "web", "missing" + esc},
      {"-o", "web", "--set", "Title" + esc}};
  for (const std::vector<std::string>& args : calls) {
    const std::string output = Batch(args).output;
    const auto acted_on = std::find_if(output.begin(), output.end(), [](char c) {
      const auto byte = static_cast<unsigned char>(c);
      return (byte < 0x20 && c != '\n') || byte >= 0x7F;
    });
    EXPECT_EQ(acted_on, output.end()) << args.back() << ": " << output;
    EXPECT_NE(output.find(shown), std::string::npos) << output;
  }
  const std::string quiet = Batch({"-q", "-o", "web" + esc, "t" + esc}).output;
  EXPECT_EQ(WithTmp(quiet, tmp_.path()),
            "$TMP/t" + shown +
                "/bell\\x07\\x9B2J.jpg: JPEG error #53 (Not a JPEG file: starts "
                "with 0x6e 0x6f)\n1 image done, 1 failed, 1 page written\n");
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
  std::vector<std::string> args = {"--set", "ThumbnailsInRow=2",       "--set",        "Quality=80",
                                   "--set", "PageSettings.Title=Trip", "--save-state", "job.qvl"};
  ASSERT_EQ(Batch(args).status, 0);
  args.resize(6);
  args.insert(args.end(), {"-q", "-o", "web", "photos/sub"});
  ASSERT_EQ(Batch(args).status, 0);
  ASSERT_EQ(Batch({"-q", "--state", "job.qvl", "-o", "state", "photos/sub"}).status, 0);
  const auto gallery = Files(tmp_.file("web"));
  EXPECT_EQ(Files(tmp_.file("state")), gallery);
  EXPECT_NE(gallery.at("index.html").find("<title>Trip</title>"), std::string::npos);
  EXPECT_TRUE(Files(tmp_.file("config")).empty());
}

}  // namespace
}  // namespace quorvel::testing
