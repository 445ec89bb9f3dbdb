// Whatever lies in a photo folder: each kind of bad input with its outcome. A source that
// cannot be read is one image's failure with the decoder's message, its cell is still written
// and the run goes on; a page that cannot be written ends the run; nothing written before is
// damaged and no temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
// libjpeg's message codes, which the "JPEG error #%d" texts carry.
#include <jerror.h>
#include <jpeglib.h>

#include "job/error.h"
#include "run/generation_run.h"
#include "imaging/fast_image.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/thumbnail_maker.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;

std::string JpegError(int code) { return "JPEG error #" + std::to_string(code); }

// A JPEG whose frame header is changed: bytes after the SOF0 marker's length field.
std::string WithFrameHeader(std::string jpeg, int precision, int width, int height) {
  const std::size_t sof = jpeg.find("\xFF\xC0");
  if (sof == std::string::npos) return jpeg;
  jpeg[sof + 4] = static_cast<char>(precision);
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

// Makes one thumbnail; "" on success, else the error's text.
std::string Outcome(const std::string& source, const std::string& target, bool fast = false) {
  imaging::FastImage holder;
  imaging::ThumbnailRequest r;
  r.source = source;
  r.target = target;
  r.fast = fast;
  try {
    imaging::MakeThumbnail(holder, r);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(BadSourceTest, EachKindOfBrokenFileGivesItsMessage) {
  TempDir tmp;
  testing::TestJpegOptions photo;
  photo.width = 64;
  photo.height = 48;
  const std::string good = testing::EncodeTestJpeg(photo);
  const std::size_t sos = good.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  const std::string huge = tmp.write("huge.jpg", WithFrameHeader(good, 8, 60000, 60000));
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;  // "" when a thumbnail is made
  };
  const std::vector<Case> cases = {
      {"empty", "", JpegError(JERR_INPUT_EMPTY)},
      {"png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), JpegError(JERR_NO_SOI)},
      {"text", "Holiday notes: remember the sun cream.\n", JpegError(JERR_NO_SOI)},
      {"soi only", good.substr(0, 2), JpegError(JERR_NO_IMAGE)},
      {"cut in the tables", good.substr(0, 100), JpegError(JERR_NO_IMAGE)},
      {"cut before the scan", good.substr(0, sos), JpegError(JERR_SOF_NO_SOS)},
      // A stream ending early is only a warning: libjpeg fills in the rest.
      {"cut in the scan", good.substr(0, sos + 40), ""},
      {"cut before the end marker", good.substr(0, good.size() - 2), ""},
      {"12-bit samples", WithFrameHeader(good, 12, 64, 48), JpegError(JERR_BAD_PRECISION)},
      // Beyond libjpeg's own limit of 65500 pixels a side.
      {"65535 x 65535", WithFrameHeader(good, 8, 65535, 65535), JpegError(JERR_IMAGE_TOO_BIG)},
  };
  for (const Case& c : cases) {
    const std::string source = tmp.write(std::string(c.name) + ".jpg", c.bytes);
    for (const bool fast : {false, true}) {
      const std::string target = tmp.file("tn.jpg");
      fs::remove(target);
      EXPECT_EQ(Outcome(source, target, fast), c.message) << c.name << (fast ? " fast" : "");
      EXPECT_EQ(fs::exists(target), c.message.empty()) << c.name;
    }
  }
  EXPECT_EQ(Outcome(huge, tmp.file("tn.jpg")),
            huge + " announces 60000 x 60000 pixels, more than the 400 megapixels accepted");
  EXPECT_EQ(Outcome(tmp.file("missing.jpg"), tmp.file("tn.jpg")),
            "Cannot open file " + tmp.file("missing.jpg"));
  // A named pipe would block a reader until somebody writes to it.
  ASSERT_EQ(::mkfifo(tmp.file("pipe.jpg").c_str(), 0644), 0);
  EXPECT_EQ(Outcome(tmp.file("pipe.jpg"), tmp.file("tn.jpg")),
            "Cannot open file " + tmp.file("pipe.jpg"));
  EXPECT_EQ(Outcome(tmp.mkdir("folder.jpg"), tmp.file("tn.jpg")),
            "Cannot open file " + tmp.file("folder.jpg"));
}

TEST(BadSourceTest, ArithmeticCodingDecodesToTheSamePixelsAsHuffman) {
  TempDir tmp;
  testing::TestJpegOptions o;
  o.width = 90;
  o.height = 60;
  const std::string huffman = testing::WriteTestJpeg(tmp.file("h.jpg"), o);
  o.arithmetic = true;
  const std::string arithmetic = testing::WriteTestJpeg(tmp.file("a.jpg"), o);
  ASSERT_NE(ReadFile(huffman), ReadFile(arithmetic));
  ASSERT_EQ(Outcome(huffman, tmp.file("tn_h.jpg")), "");
  ASSERT_EQ(Outcome(arithmetic, tmp.file("tn_a.jpg")), "");
  EXPECT_EQ(ReadFile(tmp.file("tn_h.jpg")), ReadFile(tmp.file("tn_a.jpg")));
}

TEST(BadSourceTest, CmykAndYcckBecomeColour) {
  TempDir tmp;
  for (const bool ycck : {false, true}) {
    testing::TestJpegOptions o;
    o.width = 40;
    o.height = 30;
    o.components = 4;
    o.ycck = ycck;
    o.quality = 100;
    // Inverted CMYK as Adobe stores it: full magenta ink only, so red and blue stay.
    o.pixel = [](int, int, int c) { return static_cast<std::uint8_t>(c == 1 ? 0 : 255); };
    const std::string source = testing::WriteTestJpeg(tmp.file("cmyk.jpg"), o);
    imaging::TFastBmp bmp;
    imaging::DecodeJpegFile(source, bmp);
    const std::uint8_t* p = bmp.Row(15) + 3 * 20;  // blue, green, red
    EXPECT_NEAR(p[0], 255, 3) << (ycck ? "YCCK" : "CMYK");
    EXPECT_NEAR(p[1], 0, 3) << (ycck ? "YCCK" : "CMYK");
    EXPECT_NEAR(p[2], 255, 3) << (ycck ? "YCCK" : "CMYK");
  }
}

TEST(BadSourceTest, AnUnreadableFileCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TempDir tmp;
  const std::string source = testing::WriteTestJpeg(tmp.file("secret.jpg"));
  ::chmod(source.c_str(), 0);
  EXPECT_EQ(Outcome(source, tmp.file("tn.jpg")), "Cannot open file " + source);
}

// Runs a gallery step by step; `between` is called before each tick with the ticks done.
class BadRunTest : public ::testing::Test {
 protected:
  BadRunTest() {
    tmp_.mkdir("web");
    tmp_.mkdir("thumbs");
    settings_.Output.HTMLDirectory = tmp_.file("web/");
    settings_.Output.AllThumbnailsDirectory = tmp_.file("thumbs/");
    settings_.Output.ThumbnailsInRow = 2;
    settings_.Output.ThumbnailsInColumn = 2;
    settings_.Output.SplitHTML = true;
    settings_.Output.SeparateHTML = true;
  }
  ~BadRunTest() override { platform::SetWriteFaultHookForTesting(nullptr); }

  void Images(const std::string& dir, int count) {
    tmp_.mkdir(dir);
    for (int i = 0; i < count; ++i) {
      testing::WriteTestJpeg(tmp_.file(dir + "/p" + std::to_string(i) + ".jpg"));
    }
    settings_.Output.Directories.push_back(tmp_.file(dir));
  }

  RunSummary Run(const std::function<void(int)>& between = {}) {
    GenerationRun run(settings_, {});
    if (run.StartRun() == GenerationRun::Start::NothingToDo) return {};
    for (int ticks = 0;; ++ticks) {
      if (between) between(ticks);
      if (!run.RunTick()) break;
    }
    count_ = run.image_count();
    pages_ = run.pages_written();
    return run.summary();
  }

  std::map<std::string, std::string> Files(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(tmp_.file(dir))) {
      files[e.path().filename().string()] = ReadFile(e.path().string());
    }
    return files;
  }

  void ExpectCompletePages() {
    for (const auto& [name, bytes] : Files("web")) {
      EXPECT_NE(name.front(), '.') << "temporary file left: " << name;
      ASSERT_GE(bytes.size(), 9u) << name;
      EXPECT_EQ(bytes.substr(bytes.size() - 9), "</html>\r\n") << name;
    }
  }

  TempDir tmp_;
  GallerySettings settings_;
  int count_ = 0;
  std::vector<std::string> pages_;
};

TEST_F(BadRunTest, OnlyRegularJpegFilesAreListed) {
  Images("pics", 2);
  tmp_.mkdir("pics/x.jpg");
  fs::create_symlink(tmp_.file("pics/gone.jpg"), tmp_.file("pics/dangling.jpg"));
  const RunSummary s = Run();
  EXPECT_EQ(count_, 2);
  EXPECT_EQ(s.images_done, 2);
  EXPECT_EQ(s.images_failed, 0);
}

TEST_F(BadRunTest, BrokenImagesAreReportedAndTheRunGoesOn) {
  Images("pics", 3);
  tmp_.write("pics/empty.jpg", "");
  tmp_.write("pics/notes.jpg", "text");
  const RunSummary s = Run();
  EXPECT_EQ(s.images_done, 3);
  ASSERT_EQ(s.images_failed, 2);
  EXPECT_EQ(s.failures[0].path, tmp_.file("pics/empty.jpg"));
  EXPECT_EQ(s.failures[0].message, JpegError(JERR_INPUT_EMPTY));
  EXPECT_EQ(s.failures[1].message, JpegError(JERR_NO_SOI));
  EXPECT_EQ(s.pages_written, 2);
  ExpectCompletePages();
  // The failed images keep their cells, linking thumbnails that do not exist.
  ASSERT_FALSE(pages_.empty());
  EXPECT_NE(ReadFile(pages_.front()).find("empty.jpg"), std::string::npos);
}

TEST_F(BadRunTest, ADirectoryThatVanishesFailsItsImagesOnly) {
  Images("a", 2);
  Images("b", 3);
  Images("c", 2);
  const RunSummary s = Run([&](int ticks) {
    if (ticks == 2) fs::remove_all(tmp_.file("b"));
  });
  EXPECT_EQ(s.images_done, 4);
  ASSERT_EQ(s.images_failed, 3);
  for (const ImageFailure& f : s.failures) {
    EXPECT_EQ(f.message, "Cannot open file " + f.path);
    EXPECT_EQ(f.path.rfind(tmp_.file("b/"), 0), 0u) << f.path;
  }
  EXPECT_TRUE(s.page_error.empty());
  EXPECT_EQ(Files("thumbs").size(), 4u);
  ExpectCompletePages();
}

// The fault hook's victims: paths below one directory, from one moment on.
std::string g_fault_prefix;
int g_fault_errno = 0;
int FaultBelowPrefix(const std::string& path) {
  return path.rfind(g_fault_prefix, 0) == 0 ? g_fault_errno : 0;
}

TEST_F(BadRunTest, ThumbnailDirectoryTurningReadOnlyFailsEachLaterThumbnail) {
  Images("pics", 6);
  Run();
  const auto before = Files("thumbs");
  settings_.Output.UpdateHTML = false;
  settings_.Thumbnail.Quality = 90;  // every thumbnail would change
  g_fault_prefix = tmp_.file("thumbs/");
  g_fault_errno = EROFS;
  const RunSummary s = Run([](int ticks) {
    if (ticks == 2) platform::SetWriteFaultHookForTesting(FaultBelowPrefix);
  });
  EXPECT_EQ(s.images_done, 2);
  ASSERT_EQ(s.images_failed, 4);
  EXPECT_EQ(s.failures[0].message, "Cannot create file " + tmp_.file("thumbs/p2_thumb.jpg"));
  EXPECT_TRUE(s.page_error.empty());
  const auto after = Files("thumbs");
  ASSERT_EQ(after.size(), before.size());
  for (const auto& [name, bytes] : after) {
    if (name >= "p2") {
      EXPECT_EQ(bytes, before.at(name)) << name << " was damaged";
    } else {
      EXPECT_NE(bytes, before.at(name)) << name << " was not remade";
    }
  }
  ExpectCompletePages();
}

TEST_F(BadRunTest, AFullDiskEndsTheRunAtThePageAndKeepsTheOldPages) {
  Images("pics", 9);
  Run();
  const auto pages_before = Files("web");
  const auto thumbs_before = Files("thumbs");
  ASSERT_EQ(pages_before.size(), 3u);
  settings_.Page.Title = "New title";
  settings_.Output.UpdateHTML = false;
  g_fault_prefix = tmp_.path();
  g_fault_errno = ENOSPC;
  const RunSummary s = Run([](int ticks) {
    if (ticks == 1) platform::SetWriteFaultHookForTesting(FaultBelowPrefix);
  });
  // The first page closes on the fifth image and cannot be written: the run ends there.
  EXPECT_EQ(s.page_error, "Cannot create file " + tmp_.file("web/index000.html") + " (" +
                              platform::ErrorText(ENOSPC) + ")");
  EXPECT_LT(s.images_done + s.images_failed, 9);
  EXPECT_EQ(s.failures.front().message, "Cannot create file " + tmp_.file("thumbs/p1_thumb.jpg"));
  EXPECT_EQ(Files("web"), pages_before);
  EXPECT_EQ(Files("thumbs"), thumbs_before);
}

}  // namespace
}  // namespace quorvel
