// quorvel-batch as a newcomer runs it: its messages and refusals, relative paths typed from a
// folder beside the gallery, the orientation options, a saved state, no configuration read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cli/batch_progress.h"
#include "imaging/jpeg_header.h"
#include "support/crafted_jpeg.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/web_gallery.h"

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
  // Refused runs create no directory, not even the one -o names.
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("web")));
}

TEST_F(BatchTest, OneFolderTypedFourWaysFromBesideTheGallery) {
  const ProcessResult r =
      Batch({"-q", "-o", "../web/new", ".", "./", tmp_.file("photos"), "sub", "../linked"},
            tmp_.file("photos"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "$TMP/photos/notes.jpg: JPEG error #53 (Not a JPEG file: starts with 0x6e 0x6f)\n"
            "12 images: 11 made, 0 kept, 1 failed; 1 page written, 0 unchanged\n");
  EXPECT_EQ(Files(tmp_.file("web/new/thumbs")).size(), 11u);
  EXPECT_EQ(BrokenLinks(tmp_.path()), "");
}

// A second run over an unchanged library keeps every thumbnail and rewrites no page.
TEST_F(BatchTest, TheSummarySaysWhatWasMadeKeptAndLeftUnchanged) {
  ASSERT_EQ(Batch({"-q", "-o", "web", "photos/sub"}).status, 0);
  const ProcessResult again = Batch({"-o", "web", "photos/sub"});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(
      again.output.find("\n1 image: 0 made, 1 kept, 0 failed; 0 pages written, 1 unchanged\n"),
      std::string::npos)
      << again.output;
}

TEST(TerminalProgressTest, ALineThatNeverWraps) {
  const std::tuple<int, int, std::int64_t, const char*, int, const char*> cases[] = {
      {0, 30, 0, "", 80, "0 of 30 images"},
      {2, 30, 500, "/p/a.jpg", 80, "2 of 30 images: a.jpg"},
      {12, 30, 4000, "/p/a b.jpg", 80, "12 of 30 images, 3.0 images/s, 0:06 left: a b.jpg"},
      {300, 4000, 10000, "/p/x.jpg", 80, "300 of 4000 images, 30 images/s, 2:04 left: x.jpg"},
      {10, 90000, 1000, "/p/x.jpg", 0, "10 of 90000 images, 10 images/s, 2:29:59 left: x.jpg"},
      {12, 30, 4000, "/p/a b.jpg", 20, "12 of 30 images, 3."},
  };
  for (const auto& [done, total, ms, image, columns, line] : cases) {
    EXPECT_EQ(cli::TerminalProgressLine(done, total, ms, image, columns), line);
  }
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
  EXPECT_EQ(
      WithTmp(quiet, tmp_.path()),
      "$TMP/t" + shown +
          "/bell\\x07\\x9B2J.jpg: JPEG error #53 (Not a JPEG file: starts "
          "with 0x6e 0x6f)\n2 images: 0 made, 1 kept, 1 failed; 0 pages written, 1 unchanged\n");
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

// A photo that ends early is in the gallery with a warning, and the status stays 0; one past a
// bound is refused with a message naming it, and the status is 1.
TEST_F(BatchTest, WarningsAndRefusalsOfFilesNobodyVetted) {
  const std::string whole = EncodeTestJpeg({.width = 64, .height = 48});
  tmp_.write("cut/cut.jpg", whole.substr(0, whole.size() / 2));
  ProcessResult r = Batch({"-q", "-o", "web", "cut"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "$TMP/cut/cut.jpg: warning: Premature end of JPEG file (JPEG warning #120, and 1 "
            "more)\n");
  const std::string progressive = EncodeTestJpeg({.width = 32, .height = 32, .progressive = true});
  tmp_.write("scans/scans.jpg", WithRepeatedLastScan(progressive, 200));
  r = Batch({"-q", "-o", "scans-web", "scans"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "$TMP/scans/scans.jpg has more than the 100 scans accepted\n"
            "1 image: 0 made, 0 kept, 1 failed; 1 page written, 0 unchanged\n");
}

// Photos of other formats: each named without --web, with the hint; taken with it, a broken
// one failing alone.
TEST_F(BatchTest, PhotosOfOtherFormatsAreNamedWithoutWebAndTakenWithIt) {
  MakeFormatsLibrary(tmp_);
  ProcessResult r = Batch({"-q", "-o", "web", "formats"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "$TMP/formats/broken.avif: skipped: AVIF is not JPEG\n"
            "$TMP/formats/broken.heic: skipped: HEIC is not JPEG\n"
            "$TMP/formats/broken.png: skipped: PNG is not JPEG\n"
            "$TMP/formats/broken.webp: skipped: WebP is not JPEG\n"
            "$TMP/formats/lossless.png: skipped: PNG is not JPEG\n"
            "$TMP/formats/lossy.webp: skipped: WebP is not JPEG\n"
            "$TMP/formats/phone.heic: skipped: HEIC is not JPEG\n"
            "$TMP/formats/still.avif: skipped: AVIF is not JPEG\n"
            "8 photos skipped (AVIF, HEIC, PNG, WebP): not JPEG; --web includes them\n"
            "1 image: 1 made, 0 kept, 0 failed, 8 skipped; 1 page written, 0 unchanged\n");
  r = Batch({"-q", "--web", "-o", "web", "formats"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(WithTmp(r.output, tmp_.path()),
            "Cannot read image $TMP/formats/broken.avif (Invalid input: No 'meta' box)\n"
            "Cannot read image $TMP/formats/broken.heic (Invalid input: No 'meta' box)\n"
            "Cannot read image $TMP/formats/broken.png (Read Error)\n"
            "Cannot read image $TMP/formats/broken.webp (not enough data)\n"
            "9 images: 5 made, 0 kept, 4 failed; 6 pages written, 0 unchanged\n");
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
