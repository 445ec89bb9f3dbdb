// quorvel-batch as its users meet it, as one golden transcript (cli/batch.txt), and the text it
// prints of names and progress.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/batch_progress.h"
#include "cli/terminal_text.h"
#include "imaging/jpeg_header.h"
#include "support/crafted_jpeg.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"
#include "support/web_gallery.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

// "run ARGS" runs quorvel-batch in the library, "run-in DIR ARGS" in DIR of it; "files DIR"
// counts the files below DIR, "links" checks every page, "thumb FILE" gives its size and
// profile, "same A B" compares two folders, "grep FILE TEXT" looks for TEXT, "absent NAME..."
// names those that exist; "text", "lines" and "progress DONE TOTAL MS COLUMNS IMAGE" give what
// the terminal is shown.
std::string Step(const TempDir& tmp, const TranscriptStep& step) {
  const std::string &command = step.command, &rest = step.rest;
  std::vector<std::string> args = step.words;
  for (std::string& arg : args) {
    if (arg.starts_with("$TMP")) arg.replace(0, 4, tmp.path());
  }
  if (command == "run" || command == "run-in") {
    const std::string cwd = command == "run" ? tmp.path() : tmp.file(args.front());
    if (command == "run-in") args.erase(args.begin());
    args.insert(args.begin(), QUORVEL_BATCH);
    const ProcessResult r = RunProgram(args, cwd);
    // Nothing a terminal acts on; nothing outside ASCII where the names hold escapes.
    const bool hostile = step.line.find("\\x") != std::string::npos;
    for (const char c : r.output) {
      const auto byte = static_cast<unsigned char>(c);
      EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte != 0x7F && (byte < 0x80 || !hostile)))
          << step.line << ": " << r.output;
    }
    return WithTmp(r.output, tmp.path()) + "exit " + std::to_string(r.status);
  }
  if (command == "files") return std::to_string(Files(tmp.file(args[0])).size());
  if (command == "links") return BrokenLinks(tmp.path()) + "checked";
  if (command == "same")
    return Files(tmp.file(args[0])) == Files(tmp.file(args[1])) ? "same" : "differ";
  if (command == "grep") {
    return ReadFile(tmp.file(args[0])).find(args[1]) != std::string::npos ? "found" : "missing";
  }
  if (command == "thumb") {
    const auto header = imaging::ReadThumbnailHeader(tmp.file(args[0]));
    if (!header) return "unreadable";
    return std::to_string(header->width) + "x" + std::to_string(header->height) +
           (header->profile ? " profile" : " no profile");
  }
  if (command == "absent") {
    std::string present;
    for (const std::string& name : args) present += fs::exists(tmp.file(name)) ? name + " " : "";
    return present.empty() ? "all absent" : present + "exist";
  }
  if (command == "text") return cli::TerminalText(rest);
  if (command == "lines") return cli::TerminalLines(rest);
  if (command == "progress") {  // DONE TOTAL MS COLUMNS IMAGE
    const auto n = [&](int i) { return std::stoi(args.at(i)); };
    const std::string image = args.size() > 4 ? rest.substr(rest.find(args[4])) : "";
    return "[" + cli::TerminalProgressLine(n(0), n(1), n(2), image, n(3)) + "]";
  }
  ADD_FAILURE() << "unknown step " << step.line;
  return "";
}

TEST(BatchTest, StepsGiveTheGoldenTranscript) {
  TempDir tmp;
  // Besides the awkward library and the formats: a photo cut off in its data, one with more
  // scans than accepted, and a folder whose names hold escape sequences.
  MakeAwkwardLibrary(tmp);
  MakeFormatsLibrary(tmp);
  const std::string whole = EncodeTestJpeg({.width = 64, .height = 48});
  tmp.write("cut/cut.jpg", whole.substr(0, whole.size() / 2));
  const std::string progressive = EncodeTestJpeg({.width = 32, .height = 32, .progressive = true});
  tmp.write("scans/scans.jpg", WithRepeatedLastScan(progressive, 200));
  const std::string esc = "tesc\x1b]2;PWNED\x07\x1b[2J";
  WriteTestJpeg(tmp.write(esc + "/" + esc.substr(1) + ".jpg", ""));
  tmp.write(esc + "/bell\a\x9B" + "2J.jpg", "not a photo\n");
  // A loop of links for -r to walk around.
  fs::create_directory_symlink(tmp.mkdir("loop/inner"), tmp.file("loop/inner/back"));
  WriteTestJpeg(tmp.write("loop/inner/in.jpg", ""));
  // Read as a configuration file, a directory would be refused.
  tmp.mkdir("config/quorvelandiscope/quorvel.cfg");
  ::setenv("XDG_CONFIG_HOME", tmp.file("config").c_str(), 1);
  EXPECT_EQ(ReplayGolden("cli/batch.txt", [&](const auto& s) { return Step(tmp, s); }), "");
  EXPECT_EQ(RunProgram({QUORVEL_BATCH, "--version"}).status, 0);
}

}  // namespace
}  // namespace quorvel::testing
