// State files and the configuration file against golden data; paths that hold no file of ours
// are refused unread, naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>

#include "job/error.h"
#include "job/gallery_settings.h"
#include "job/settings_fields.h"
#include "persist/config_file.h"
#include "persist/private_profile.h"
#include "persist/state_file.h"
#include "persist/typed_value_file.h"
#include "platform/file_system.h"
#include "support/gallery.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

namespace fs = std::filesystem;
using namespace config_keys;
using testing::CompareWithGolden;
using testing::GoldenPath;
using testing::ReadFile;

// The message of the Error that `action` throws; "(no error)" when it throws none.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

// Every field away from its default ("Field=value" lines of a data file), texts at their
// longest, and a colour with a top byte, which a state keeps.
GallerySettings EveryFieldChanged() {
  GallerySettings s;
  std::istringstream lines(testing::ReadFile(GoldenPath("persist/every_field_changed.settings")));
  for (std::string line; std::getline(lines, line);) testing::SetFields(s, {line});
  s.Table.BorderColor = 0x7F123456;
  return s;
}

TEST(StateFileTest, DefaultAndChangedSettingsGiveTheGoldenFiles) {
  EXPECT_EQ(CompareWithGolden(EncodeState(GallerySettings()), "persist/default.qvl"), "");
  EXPECT_EQ(CompareWithGolden(EncodeState(EveryFieldChanged()), "persist/every_field_changed.qvl"),
            "");
  testing::TempDir tmp;
  SaveState(EveryFieldChanged(), tmp.file("job.qvl"));
  GallerySettings current;
  current.Output.Directories = {"/photos"};
  GallerySettings expected = EveryFieldChanged();
  expected.Output.Directories = current.Output.Directories;
  EXPECT_EQ(LoadState(tmp.file("job.qvl"), current), expected);
}

// The default file with edits: "OFFSET: HH HH*COUNT ..." writes bytes from OFFSET ("end:" is
// the file's end), "cut SIZE" keeps the first SIZE bytes.
std::string Edited(const std::string& edits) {
  std::string bytes = EncodeState(GallerySettings());
  std::istringstream words(edits);
  std::size_t at = 0;
  for (std::string word; words >> word;) {
    if (word == "cut") {
      words >> at;
      bytes.resize(at);
    } else if (word.back() == ':') {
      at = word == "end:" ? bytes.size() : std::stoul(word);
    } else {
      const std::size_t count = word.size() > 3 ? std::stoul(word.substr(3)) : 1;
      bytes.replace(at, count, count,
                    static_cast<char>(std::stoul(word.substr(0, 2), nullptr, 16)));
      at += count;
    }
  }
  return bytes;
}

// The message of a refused load, which must change nothing; or, for a load, where the
// settings saved again differ from the default file. A file without web settings resets them.
std::string Outcome(const std::string& bytes) {
  GallerySettings before;
  before.Output.Directories = {"/photos"};
  SetWebReady(before.Web, true);
  before.Page.TopHTML = {"old"};
  GallerySettings settings = before;
  const std::string error = ErrorOf([&] { settings = DecodeState(bytes, settings, "PATH"); });
  if (error != "(no error)") {
    EXPECT_EQ(settings, before) << error;
    return error;
  }
  EXPECT_EQ(settings.Output.Directories, before.Output.Directories);
  const std::string saved = EncodeState(settings), defaults = EncodeState(GallerySettings());
  std::string differences;
  for (std::size_t i = 0; i < saved.size(); ++i) {
    char byte[32];
    std::snprintf(byte, sizeof byte, " %zu=%02X", i, static_cast<unsigned char>(saved[i]));
    if (i >= defaults.size() || saved[i] != defaults[i]) differences += byte;
  }
  return "loaded; saves as the default file" + (differences.empty() ? "" : " but" + differences);
}

TEST(StateFileTest, EditedFilesGiveTheGoldenOutcomes) {
  EXPECT_EQ(testing::ReplayGolden("persist/edited_files.txt",
                                  [](const auto& edits) { return Outcome(Edited(edits.line)); }),
            "");
  GallerySettings classic = EveryFieldChanged();
  classic.Web = {};
  const std::string changed = EncodeState(classic);
  for (std::size_t size = 0; size < changed.size(); ++size) {
    ASSERT_EQ(ErrorOf([&] { DecodeState(changed.substr(0, size), GallerySettings(), "/a.qvl"); }),
              "Read beyond end of file: /a.qvl")
        << size;
  }
}

TEST(StateFileTest, RefusedSavesNameTheFieldOrFileAndKeepTheOldFile) {
  testing::TempDir tmp;
  const std::string path = tmp.write("job.qvl", "previous");
  std::string lines;  // 4097 of them
  for (int i = 0; i < 4096; ++i) lines += "\\n";
  const std::tuple<const char*, std::string, const char*> cases[] = {
      {"PageSettings.Title", std::string(502, 't'), "Index page title is longer than 501 bytes"},
      {"HTMLDirectory", std::string(600, 'd'),
       "Directory for HTML output is longer than 501 bytes"},
      {"PicturePage.BottomHTML", "\\n" + std::string(3074, 'b'),
       "a line of Picture page HTML on the bottom of the page is longer than 3073 bytes"},
      {"PageSettings.TopHTML", lines,
       "Index page HTML on the top of the page has more than 4096 lines"}};
  for (const auto& [field, value, message] : cases) {
    GallerySettings s;
    SetFieldFromText(s, field, value);
    EXPECT_EQ(ErrorOf([&] { SaveState(s, path); }),
              std::string("Cannot save the state: ") + message);
  }
  EXPECT_EQ(testing::ReadFile(path), "previous");
  // The stream's own writers refuse what the format cannot hold, writing nothing.
  TypedValueWriter out;
  EXPECT_THROW(PutStr(out, std::string(502, 's')), Error);
  EXPECT_THROW(PutLines(out, {"", std::string(3074, 'l')}), Error);
  EXPECT_THROW(PutLines(out, Lines(4097)), Error);
  EXPECT_EQ(out.bytes(), "");
  EXPECT_EQ(ErrorOf([&] { SaveState({}, path + "/job.qvl"); }),
            "File not found: " + path + "/job.qvl");
  EXPECT_EQ(ErrorOf([&] { LoadState(path + ".none", {}); }), "File not found: " + path + ".none");
  const std::pair<int, const char*> errors[] = {
      {ENOENT, "File not found"},    {ENOTDIR, "File not found"},   {EACCES, "File access denied"},
      {EPERM, "File access denied"}, {EROFS, "File access denied"}, {ENOSPC, "Disk full"},
      {EDQUOT, "Disk full"},         {EIO, "I/O error 5"}};
  for (const auto& [error, text] : errors) EXPECT_EQ(IoErrorText(error), text);
}

// Line ends made visible, each line still on a line of its own.
std::string Visible(const std::string& text) {
  return std::regex_replace(std::regex_replace(text, std::regex("\r"), "\\r"), std::regex("\n"),
                            "\\n\n");
}

// One step on the file at `path`, through a configuration object of its own: "has", "int",
// "bool", "string" read "SECTION|KEY"; "write", "write-int", "write-bool" write
// "SECTION|KEY|VALUE"; "text" shows the file; "where" tells where the file lives.
std::string Step(const std::string& path, const testing::TranscriptStep& step) {
  const std::string &command = step.command, &rest = step.rest;
  const std::size_t bar = rest.find('|'), bar2 = rest.find('|', bar + 1);
  const std::string section = rest.substr(0, bar), key = rest.substr(bar + 1, bar2 - bar - 1);
  const std::string value = bar2 == std::string::npos ? "" : rest.substr(bar2 + 1);
  if (command == "where") {  // with XDG_CONFIG_HOME set to SECTION ("-": unset), HOME to KEY
    section == "-" ? ::unsetenv("XDG_CONFIG_HOME")
                   : ::setenv("XDG_CONFIG_HOME", section.c_str(), 1);
    ::setenv("HOME", key.c_str(), 1);
    return DefaultConfigPath() + " in " + ProgramDirectory() + "\n";
  }
  ConfigFile config(path);
  if (command == "text")
    return platform::PathExists(path) ? Visible(ReadFile(path)) : "(no file)\n";
  if (command == "has") return config.HasKey(section, key) ? "yes\n" : "no\n";
  if (command == "int") return std::to_string(config.ReadInt(section, key, 77)) + "\n";
  if (command == "bool") {
    return std::to_string(config.ReadBool(section, key, false)) + " (default 0), " +
           std::to_string(config.ReadBool(section, key, true)) + " (default 1)\n";
  }
  if (command == "string") {
    const std::string text = config.ReadString(section, key, "?");
    return text.size() > 80 ? std::to_string(text.size()) + " bytes\n"
                            : "\"" + Visible(text) + "\"\n";
  }
  const std::string error = ErrorOf([&] {
    if (command == "write-int") config.WriteInt(section, key, std::stoi(value));
    if (command == "write-bool") config.WriteBool(section, key, value == "1");
    if (command == "write") config.WriteString(section, key, value);
  });
  const std::string tmp = path.substr(0, path.rfind("/new/"));
  return error == "(no error)" ? "" : testing::WithTmp(error, tmp) + "\n";
}

// Each case of the golden file: "== name ==", "> file TEXT" (the file's text, "(none)" for no
// file, "@NAME" for the data file NAME), then steps, each followed by what it gave.
TEST(ConfigFileTest, StepsGiveTheGoldenTranscript) {
  std::optional<testing::TempDir> tmp;
  std::string path;
  const auto step = [&](const testing::TranscriptStep& s) {
    if (s.command != "file") return Step(path, s);
    tmp.emplace();
    const std::string file = "new/quorvelandiscope/quorvel.cfg", &text = s.rest;
    path = tmp->file(file);
    if (text.starts_with('@')) tmp->write(file, ReadFile(GoldenPath("persist/" + text.substr(1))));
    if (!text.starts_with('@') && text != "(none)") tmp->write(file, text);
    return std::string();
  };
  EXPECT_EQ(testing::ReplayGolden("persist/config_files.txt", step), "");
}

TEST(BadInputTest, PathsThatHoldNoFileOfOursAreRefusedUnread) {
  testing::TempDir tmp;
  // The device through a link, so that a faulty write could only replace the link.
  fs::create_symlink("/dev/zero", tmp.file("zero"));
  ASSERT_EQ(::mkfifo(tmp.file("pipe").c_str(), 0600), 0);
  tmp.mkdir("directory");
  fs::resize_file(tmp.write("big.qvl", ""), MaxStateFileBytes() + 1);
  fs::resize_file(tmp.write("big.cfg", "[WINDOW]\nleft=1\n"), kMaxProfileBytes + 1);
  ::alarm(20);  // a read that blocks ends the test instead of hanging the suite
  for (const char* name : {"zero", "pipe", "directory", "big.qvl"}) {
    const std::string path = tmp.file(name);
    EXPECT_EQ(ErrorOf([&] { LoadState(path, GallerySettings()); }), path + " is not a state file");
  }
  tmp.write("plain", "x");
  fs::create_symlink(tmp.file("nowhere"), tmp.file("dangling"));
  for (const char* name :
       {"zero", "pipe", "directory", "big.cfg", "plain/quorvel.cfg", "dangling/a/quorvel.cfg"}) {
    const std::string path = tmp.file(name);
    const fs::file_type type = fs::symlink_status(path).type();
    ConfigFile config(path);
    EXPECT_EQ(config.ReadInt(kWindow, kLeft, 7), 7) << name;
    EXPECT_EQ(ErrorOf([&] { config.WriteInt(kWindow, kLeft, 2); }), "Unable to write to " + path);
    EXPECT_EQ(fs::symlink_status(path).type(), type) << name;
  }
  ::alarm(0);
  EXPECT_EQ(fs::file_size(tmp.file("big.cfg")), kMaxProfileBytes + 1);
  // A write that would make the file too large is refused too.
  ConfigFile config(tmp.write("quorvel.cfg", "[WINDOW]\nicon=1\n"));
  EXPECT_EQ(ErrorOf([&] { config.WriteString(kDirs, kDirectoryBox, std::string(1 << 20, 'd')); }),
            "Unable to write to " + config.path());
  EXPECT_EQ(testing::ReadFile(config.path()), "[WINDOW]\nicon=1\n");
}

}  // namespace
}  // namespace quorvel::persist
