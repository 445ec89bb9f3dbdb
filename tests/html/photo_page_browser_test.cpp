// Photo pages in a real browser: headless Chromium loads a harness page whose frame shows the
// middle of three photo pages, sends it keys and writes down where the frame ends up after
// each. Skipped where chromium is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "html/photo_page.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace quorvel::html {
namespace {

// Loads the photo page in a same-origin frame, then for each step sends its key as a keydown
// event from inside the page and notes the page the frame shows once it has loaded again, or
// after a second when nothing loads. The first entry is the start page and the pixel size of
// its loaded display copy.
constexpr char kHarness[] = R"(<!DOCTYPE html>
<html><body>
<iframe id="frame" src="photos/b%20%231%3F.html"></iframe>
<p id="result">not finished</p>
<script>
var frame = document.getElementById("frame");
var steps = [{key: "ArrowRight", ctrlKey: true}, {key: "ArrowRight"}, {key: "ArrowRight"},
             {key: "ArrowLeft"}, {key: "ArrowLeft"}, {key: "ArrowLeft", altKey: true},
             {key: "ArrowLeft"}, {key: "Escape"}];
var log = [];
function page() {
  var path = frame.contentWindow.location.pathname;
  return decodeURIComponent(path.substring(path.lastIndexOf("/") + 1));
}
function finish(text) { document.getElementById("result").textContent = text; }
function run(i) {
  if (i == steps.length) return finish(log.join(" | "));
  var step = steps[i], w = frame.contentWindow;
  var name = (step.ctrlKey ? "ctrl+" : "") + (step.altKey ? "alt+" : "") + step.key;
  var done = function () {
    clearTimeout(timer);
    frame.onload = null;
    log.push(name + ": " + page());
    run(i + 1);
  };
  var timer = setTimeout(done, 1000);
  frame.onload = done;
  w.document.body.dispatchEvent(new w.KeyboardEvent("keydown", {
      key: step.key, ctrlKey: !!step.ctrlKey, altKey: !!step.altKey, bubbles: true}));
}
window.onload = function () {
  try {
    var img = frame.contentDocument.querySelector("main img");
    log.push(page() + " " + img.naturalWidth + "x" + img.naturalHeight);
    run(0);
  } catch (e) {
    finish("error: " + e);
  }
};
</script>
</body></html>
)";

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
  site.write("harness.html", kHarness);
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
