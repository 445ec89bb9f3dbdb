// Photo pages' keys in headless Chromium, where it is installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "html/photo_page.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::html {
namespace {

// What headless Chromium makes of the page at `url`: the text of its result paragraph once its
// scripts have run.
std::string ResultInChromium(const std::string& url, const std::string& profile) {
  const std::string command =
      "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--allow-file-access-from-files --user-data-dir='" +
      profile + "' --virtual-time-budget=20000 --dump-dom '" + url + "' 2> /dev/null";
  FILE* chromium = popen(command.c_str(), "r");
  std::string dom;
  for (char buffer[4096]; const std::size_t n = std::fread(buffer, 1, sizeof buffer, chromium);) {
    dom.append(buffer, n);
  }
  const int status = pclose(chromium);
  std::smatch result;
  if (status != 0 || !std::regex_search(dom, result, std::regex("<p id=\"result\">([^<]*)</p>"))) {
    return "chromium status " + std::to_string(status) + "\n" + dom;
  }
  return result[1];
}

// Three photos whose names need encoding in links; the harness shows the middle photo page in a
// same-origin frame, sends it keys and notes where each leads.
TEST(PhotoPageInBrowserTest, ArrowKeysAndEscapeFollowTheLinks) {
  if (std::system("command -v chromium > /dev/null 2>&1") != 0) GTEST_SKIP() << "no chromium";
  testing::TempDir site, profile;
  const std::string names[] = {"a", "b #1?", "Caf\xC3\xA9"};
  for (int i = 0; i < 3; ++i) {
    const std::string jpg = names[i] + ".jpg";
    const std::string previous = i > 0 ? names[i - 1] + ".html" : "";
    const std::string next = i < 2 ? names[i + 1] + ".html" : "";
    const PhotoPage photo{jpg, jpg, 64, 48, previous, next, "../index.html", {}, ""};
    testing::WriteTestJpeg(site.write("photos/" + jpg, ""), {.width = 64, .height = 48});
    WritePhotoPage(site.file("photos/" + names[i] + ".html"), photo, {}, PathStyle::Posix);
  }
  site.write("index.html", "<!DOCTYPE html><title>index</title><p>index</p>\n");
  site.write("harness.html",
             testing::ReadFile(testing::GoldenPath("html/photo_page_harness.html")));
  EXPECT_EQ(ResultInChromium("file://" + site.file("harness.html"), profile.path()),
            "b #1?.html 64x48 | ctrl+ArrowRight: b #1?.html | ArrowRight: Caf\xC3\xA9.html | "
            "ArrowRight: Caf\xC3\xA9.html | ArrowLeft: b #1?.html | ArrowLeft: a.html | "
            "alt+ArrowLeft: a.html | ArrowLeft: a.html | Escape: index.html");
}

}  // namespace
}  // namespace quorvel::html
