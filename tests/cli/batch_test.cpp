// quorvel-batch as a user runs it: a temporary tree of generated JPEGs in, a gallery out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <regex>
#include <set>

#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace {

using quorvel::testing::ReadFile;
using quorvel::testing::TempDir;
namespace fs = std::filesystem;

struct Result {
  int status;
  std::string output;
};

Result Batch(const std::string& args) {
  const std::string command = std::string(QUORVEL_BATCH) + " " + args + " 2>&1";
  Result r{-1, ""};
  FILE* pipe = ::popen(command.c_str(), "r");
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) r.output.append(buffer, n);
  const int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::set<std::string> Files(const std::string& root) {
  std::set<std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.is_regular_file()) files.insert(fs::relative(e.path(), root).string());
  }
  return files;
}

// Every href and src of every page names an existing file.
void ExpectLinksResolve(const std::string& root) {
  const std::regex link("(?:href|src)=\"([^\"]+)\"");
  int links = 0;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (e.path().extension() != ".html") continue;
    const std::string page = ReadFile(e.path().string());
    EXPECT_TRUE(page.ends_with("</html>\r\n")) << e.path();
    for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
      const std::string target = (*it)[1];
      if (target.starts_with("http")) continue;
      EXPECT_TRUE(fs::exists(e.path().parent_path() / target)) << e.path() << " -> " << target;
      ++links;
    }
  }
  EXPECT_GT(links, 0);
}

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"trip/a.jpg", "trip/B.JPG", "trip/sub/c.jpeg", "home/d.jpg"}) {
      fs::create_directories(fs::path(tmp_.file(name)).parent_path());
      quorvel::testing::TestJpegOptions options;
      options.width = 40;
      options.height = 30;
      quorvel::testing::WriteTestJpeg(tmp_.file(name), options);
    }
  }
  std::string Web() const { return tmp_.file("web"); }
  TempDir tmp_;
};

TEST_F(BatchTest, UsageWithoutDirectories) {
  const Result r = Batch("");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("Usage"), std::string::npos) << r.output;
  EXPECT_EQ(Batch("--help").status, 0);
  EXPECT_EQ(Batch("--version").status, 0);
  EXPECT_EQ(Batch("--no-such-option x").status, 2);
}

TEST_F(BatchTest, MakesTheGalleryOfATree) {
  fs::create_directories(Web());
  const Result r = Batch("--quiet --create-dirs --html-dir " + Web() + " --thumb-dir " + Web() +
                         "/thumbs -r " + tmp_.file("trip") + " " + tmp_.file("home"));
  ASSERT_EQ(r.status, 0) << r.output;
  const std::set<std::string> expected = {"index.html", "thumbs/a_thumb.jpg",
                                          "thumbs/B_thumb.JPG", "thumbs/c_thumb.jpeg",
                                          "thumbs/d_thumb.jpg"};
  EXPECT_EQ(Files(Web()), expected);
  ExpectLinksResolve(Web());
  const std::string page = ReadFile(Web() + "/index.html");
  EXPECT_NE(page.find("<a href=\"../trip/B.JPG\"><img src=\"thumbs/B_thumb.JPG\" border=\"0\"></a>"),
            std::string::npos);
}

TEST_F(BatchTest, SplitPagesInImageDirectoriesResolve) {
  const Result r = Batch("--quiet --set SeparateHTML=true --set SplitHTML=true "
                         "--set HTMLIntoImageDirectory=true --set ThumbnailsIntoImageDirectory=true "
                         "--set ThumbnailsInRow=1 --set ThumbnailsInColumn=1 --set "
                         "CreatePicturePages=true -r " + tmp_.file("trip"));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(fs::exists(tmp_.file("trip/index001.html")));
  EXPECT_TRUE(fs::exists(tmp_.file("trip/thumb/a_thumb.jpg")));
  EXPECT_TRUE(fs::exists(tmp_.file("trip/a.html")));
  ExpectLinksResolve(tmp_.file("trip"));
}

TEST_F(BatchTest, ACorruptImageFailsAloneWithExitOne) {
  tmp_.write("home/broken.jpg", "this is no jpeg");
  const Result r = Batch("--create-dirs --html-dir " + Web() + " --thumb-dir " + Web() + " " +
                         tmp_.file("home"));
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find(tmp_.file("home/broken.jpg") + ": JPEG error #"), std::string::npos)
      << r.output;
  EXPECT_TRUE(fs::exists(Web() + "/d_thumb.jpg"));
  EXPECT_TRUE(fs::exists(Web() + "/index.html"));
}

TEST_F(BatchTest, ClashingNamesRefuseTheRunAndWriteNothing) {
  // a.jpg and B.JPG would give same.jpg and same.JPG, two files here; c.jpg clashes with a.jpg.
  fs::copy_file(tmp_.file("trip/a.jpg"), tmp_.file("trip/c.jpg"));
  const Result r = Batch("--create-dirs --html-dir " + Web() + " --thumb-dir " + Web() +
                         " --set=ThumbnailNameMask=same " + tmp_.file("trip"));
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_NE(r.output.find("Thumbnail Image Name Mask"), std::string::npos) << r.output;
  EXPECT_TRUE(Files(Web()).empty());
}

TEST_F(BatchTest, MissingDirectoriesWithoutCreateDirsAreErrors) {
  EXPECT_EQ(Batch("--html-dir " + tmp_.file("nope") + " --thumb-dir " + tmp_.file("trip") + " " +
                  tmp_.file("trip")).status, 2);
  EXPECT_EQ(Batch("--html-dir " + tmp_.file("trip") + " " + tmp_.file("missing")).status, 2);
  EXPECT_EQ(Batch("--set Bold=true " + tmp_.file("trip")).status, 2);
}

TEST_F(BatchTest, SavedStateReproducesTheSameGallery) {
  const std::string options = "--set ThumbnailsInRow=2 --set PageSettings.Title=Trip "
                              "--set TableSettings.BorderColor=#FF0000 --set Quality=80 "
                              "--set PageSettings.TopHTML=\"<h1>Trip</h1>\\n\" ";
  const std::string dirs = " --quiet --create-dirs --html-dir " + Web() + " --thumb-dir " + Web() +
                           " " + tmp_.file("trip");
  ASSERT_EQ(Batch(options + dirs).status, 0);
  const std::string page = ReadFile(Web() + "/index.html");
  const std::string thumb = ReadFile(Web() + "/a_thumb.jpg");
  fs::remove_all(Web());
  const std::string state = tmp_.file("job.qvl");
  ASSERT_EQ(Batch(options + "--save-state " + state).status, 0);
  ASSERT_EQ(Batch("--state " + state + dirs).status, 0);
  EXPECT_EQ(ReadFile(Web() + "/index.html"), page);
  EXPECT_EQ(ReadFile(Web() + "/a_thumb.jpg"), thumb);
  EXPECT_NE(page.find("<title>Trip</title>"), std::string::npos);
}

}  // namespace
