// State files: the default file and one with every field changed as golden files; edited
// files, each loaded over other settings, with what became of them in a golden file; saves
// that are refused.
#include "persist/state_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

#include "job/gallery_settings.h"
#include "job/settings_fields.h"
#include "persist/typed_value_file.h"
#include "persist_test_support.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

using testing::CompareWithGolden;
using testing::GoldenPath;

// Every field away from its default ("Field=value" lines of a data file), texts at their
// longest, and a colour with a top byte, which a state keeps.
GallerySettings EveryFieldChanged() {
  GallerySettings s;
  std::istringstream lines(testing::ReadFile(GoldenPath("persist/every_field_changed.settings")));
  for (std::string line; std::getline(lines, line);) {
    SetFieldFromText(s, line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
  }
  s.Table.BorderColor = 0x7F123456;
  return s;
}

TEST(StateFileTest, DefaultAndChangedSettingsGiveTheGoldenFiles) {
  EXPECT_EQ(EncodeState(GallerySettings()).size(), 313u);
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
// settings saved again differ from the default file.
std::string Outcome(const std::string& bytes) {
  GallerySettings before;
  before.Output.Directories = {"/photos"};
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
                                  [](const std::string& edits) { return Outcome(Edited(edits)); }),
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

// A group of `values` (a typed-value stream) under `tag`.
std::string Group(const std::string& tag, const std::string& values) {
  TypedValueWriter out;
  PutStr(out, tag);
  PutInt(out, static_cast<std::int32_t>(values.size()));
  out.Append(values);
  return out.Release();
}

// The web settings follow the classic values as a group that a reader of the classic values
// alone never reaches, and that this reader takes as far as it goes.
TEST(StateFileTest, WebSettingsFollowTheClassicValuesAsAGroup) {
  const std::string classic = EncodeState(GallerySettings());
  GallerySettings web;
  SetWebReady(web.Web, true);
  web.Web.DisplaySize = 1200;
  const std::string saved = EncodeState(web);
  ASSERT_EQ(saved.substr(0, classic.size()), classic);
  const std::string group = saved.substr(classic.size());
  EXPECT_EQ(group, Group("WebSettings", std::string("\x01\xB0\x04\0\0\x55\0\0\0\0\0\0\0\0"
                                                    "\x01\x01\x01",
                                                    17)));
  const auto load = [&](const std::string& after) {
    return DecodeState(classic + after, GallerySettings(), "PATH").Web;
  };
  EXPECT_EQ(load(group), web.Web);
  // Unknown groups, also before it, are passed over; so are bytes that are no group at all.
  EXPECT_EQ(load(Group("Later", "\x01\x02") + group), web.Web);
  EXPECT_EQ(load(Group("Later", "\x01\x02")), WebSettings());
  EXPECT_EQ(load("junk after the values"), WebSettings());
  // A group from a writer with fewer settings gives the rest their defaults; one with more has
  // them passed over.
  WebSettings first_two;
  first_two.PhotoPages = true;
  first_two.DisplaySize = 1200;
  EXPECT_EQ(load(Group("WebSettings", group.substr(4 + 11 + 4, 5))), first_two);
  EXPECT_EQ(load(Group("WebSettings", group.substr(4 + 11 + 4) + "\x01\x01") + group), web.Web);
  // Loading a file without the group resets the web settings, as any field a file holds.
  EXPECT_EQ(DecodeState(classic, web, "PATH").Web, WebSettings());
}

TEST(StateFileTest, RefusedSavesNameTheFieldOrFileAndKeepTheOldFile) {
  testing::TempDir tmp;
  const std::string path = tmp.write("job.qvl", "previous");
  const std::pair<void (*)(GallerySettings&), const char*> cases[] = {
      {[](GallerySettings& s) { s.Page.Title = std::string(502, 't'); },
       "Index page title is longer than 501 bytes"},
      {[](GallerySettings& s) { s.Output.HTMLDirectory = std::string(600, 'd'); },
       "Directory for HTML output is longer than 501 bytes"},
      {[](GallerySettings& s) {
         s.Picture.PicturePage.BottomHTML = {"", std::string(3074, 'b')};
       },
       "a line of Picture page HTML on the bottom of the page is longer than 3073 bytes"},
      {[](GallerySettings& s) { s.Page.TopHTML.resize(4097); },
       "Index page HTML on the top of the page has more than 4096 lines"},
  };
  for (const auto& [change, message] : cases) {
    GallerySettings s;
    change(s);
    EXPECT_EQ(ErrorOf([&] { SaveState(s, path); }),
              std::string("Cannot save the state: ") + message);
  }
  EXPECT_EQ(testing::ReadFile(path), "previous");
  EXPECT_EQ(ErrorOf([&] { SaveState({}, path + "/job.qvl"); }, path),
            "File not found: PATH/job.qvl");
  EXPECT_EQ(ErrorOf([&] { LoadState(path + ".none", {}); }, path), "File not found: PATH.none");
  // The stream's own writers refuse what the format cannot hold, writing nothing.
  TypedValueWriter out;
  EXPECT_THROW(PutStr(out, std::string(502, 's')), Error);
  EXPECT_THROW(PutLines(out, {"", std::string(3074, 'l')}), Error);
  EXPECT_THROW(PutLines(out, Lines(4097)), Error);
  EXPECT_EQ(out.bytes(), "");
  const std::pair<int, const char*> errors[] = {
      {ENOENT, "File not found"},    {ENOTDIR, "File not found"},   {EACCES, "File access denied"},
      {EPERM, "File access denied"}, {EROFS, "File access denied"}, {ENOSPC, "Disk full"},
      {EDQUOT, "Disk full"},         {EIO, "I/O error 5"}};
  for (const auto& [error, text] : errors) EXPECT_EQ(IoErrorText(error), text);
}

}  // namespace
}  // namespace quorvel::persist
