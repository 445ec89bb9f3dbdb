// Photo pages in a real browser: headless Chromium loads a harness page whose frame shows the
// middle of three photo pages, sends it keys and writes down where the frame ends up after
// each. Skipped where chromium is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "html/photo_page.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::html {
namespace {

bool ChromiumInstalled() { return std::system("command -v chromium > /dev/null 2>&1") == 0; }

// What headless Chromium makes of the page at `url`, its DOM after scripts have run.
std::string DumpDom(const std::string& url, const std::string& profile) {
  const std::string command =
      "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--allow-file-access-from-files --user-data-dir='" +
      profile + "' --virtual-time-budget=20000 --dump-dom '" + url + "' 2> /dev/null";
  FILE* chromium = popen(command.c_str(), "r");
  if (chromium == nullptr) return "popen failed";
  std::string dom;
  for (char buffer[4096]; const std::size_t n = std::fread(buffer, 1, sizeof buffer, chromium);) {
    dom.append(buffer, n);
  }
  const int status = pclose(chromium);
  return status == 0 ? dom : "chromium status " + std::to_string(status) + "\n" + dom;
}

std::string ResultText(const std::string& dom) {
  const std::string open = "<p id=\"result\">";
  const std::size_t start = dom.find(open);
  if (start == std::string::npos) return dom;
  const std::size_t end = dom.find("</p>", start);
  return dom.substr(start + open.size(), end - start - open.size());
}

// Three photos whose names need encoding in links, each page made by WritePhotoPage with its
// display copy beside it, the index page one level up.
void WriteThreePhotoPages(const testing::TempDir& site) {
  const std::string names[] = {"a", "b #1?", "Caf\xC3\xA9"};
  site.mkdir("photos");
  for (int i = 0; i < 3; ++i) {
    PhotoPage photo;
    photo.FileName = names[i] + ".jpg";
    photo.DisplayHref = names[i] + ".jpg";
    photo.Width = 64;
    photo.Height = 48;
    if (i > 0) photo.PreviousHref = names[i - 1] + ".html";
    if (i < 2) photo.NextHref = names[i + 1] + ".html";
    photo.IndexHref = "../index.html";
    testing::WriteTestJpeg(site.file("photos/" + names[i] + ".jpg"), {.width = 64, .height = 48});
    WritePhotoPage(site.file("photos/" + names[i] + ".html"), photo, PageSettings{},
                   PathStyle::Posix);
  }
  site.write("index.html", "<!DOCTYPE html><title>index</title><p>index</p>\n");
  // Shows the middle photo page in a same-origin frame, sends it keys and notes where it leads.
  site.write("harness.html",
             testing::ReadFile(testing::GoldenPath("html/photo_page_harness.html")));
}

TEST(PhotoPageInBrowserTest, ArrowKeysAndEscapeFollowTheLinks) {
  if (!ChromiumInstalled()) GTEST_SKIP() << "chromium is not installed";
  testing::TempDir site, profile;
  WriteThreePhotoPages(site);
  EXPECT_EQ(ResultText(DumpDom("file://" + site.file("harness.html"), profile.path())),
            "b #1?.html 64x48 | ctrl+ArrowRight: b #1?.html | ArrowRight: Caf\xC3\xA9.html | "
            "ArrowRight: Caf\xC3\xA9.html | ArrowLeft: b #1?.html | ArrowLeft: a.html | "
            "alt+ArrowLeft: a.html | ArrowLeft: a.html | Escape: index.html");
}

}  // namespace
}  // namespace quorvel::html
