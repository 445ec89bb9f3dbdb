// The configuration file and the initialisation-file layer below it: lookups and one-key edits
// as a golden transcript, the value syntax, writes that keep the rest, and where the file lives.
#include "persist/config_file.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "persist/private_profile.h"
#include "persist_test_support.h"
#include "platform/file_system.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

using namespace config_keys;
using testing::GoldenPath;

// Line ends made visible, each line still on a line of its own.
std::string Visible(const std::string& text) {
  std::string out;
  for (const char c : text) out += c == '\r' ? "\\r" : c == '\n' ? "\\n\n" : std::string(1, c);
  return out;
}

TEST(PrivateProfileTest, LookupsAndEditsKeepEveryOtherLineAsItWas) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> steps;  // "section|key" looks up, "section|key|value" sets
  };
  const Case cases[] = {
      {"a file written by hand",
       testing::ReadFile(GoldenPath("persist/hand_written.cfg")),
       {"WINDOW|LEFT", "dirs|Main Window Save", "DIRS|empty", "WINDOW|top", "WINDOW|stray",
        "WINDOW|# a comment", "NONE|left", "window|LEFT|-5", "DIRS|directory box|D:\\",
        "OPTIONS|jobs|2"}},
      {"Windows line ends",
       "[WINDOW]\r\nicon=0\r\n",
       {"window|ICON", "WINDOW|icon|1", "WINDOW|x|0"}},
      {"mixed line ends, a carriage return in a value's line end, an unended last line",
       "; note\r\n[A]\nk=4\r\r\nj=1\r\n[B]\nx=y",
       {"A|k", "A|j|2", "B|z|3", "C|w|4", "A|k"}},
      {"an unended last line ending in a carriage return", "[A]\nk=4\r", {"A|k", "B|x|1", "A|k"}},
      {"no file", "", {"WINDOW|icon|1"}},
      {"pairs a line cannot hold",
       "[A]\nk=v\n",
       {"A|k|two\nlines", "A|k|cr\r", "A|a=b|v", "A]|k|v", "|k|v", "A| |v"}},
  };
  std::string out;
  for (const Case& c : cases) {
    PrivateProfile profile(c.text);
    out += "== " + std::string(c.name) + " ==\n";
    for (const std::string& step : c.steps) {
      const std::size_t bar = step.find('|'), value = step.find('|', bar + 1);
      const std::string section = step.substr(0, bar), key = step.substr(bar + 1, value - bar - 1);
      if (value == std::string::npos) {
        const auto found = profile.Get(section, key);
        out += "get " + step + ": " + (found ? "\"" + Visible(*found) + "\"" : "none") + "\n";
      } else {
        const bool set = profile.Set(section, key, step.substr(value + 1));
        out += "set " + Visible(step) + (set ? "\n" : ": refused\n");
      }
    }
    out += "-- text:\n" + Visible(profile.Text()) + "\n";
  }
  EXPECT_EQ(testing::CompareWithGolden(out, "persist/private_profile.txt"), "");
}

TEST(ConfigFileTest, ValuesReadAsTheirTexts) {
  const ConfigFile config(GoldenPath("persist/values.cfg"));
  const std::pair<const char*, std::int32_t> numbers[] = {
      {kLeft, 32}, {kTop, -12}, {"a", 255}, {"b", 12}, {"c", 77}, {"d", -1}, {"e", 77}, {"f", 77}};
  for (const auto& [key, value] : numbers)
    EXPECT_EQ(config.ReadInt(kWindow, key, 77), value) << key;
  EXPECT_TRUE(config.ReadBool(kWindow, kStateLock, false));
  EXPECT_FALSE(config.ReadBool(kWindow, kIcon, true));
  EXPECT_TRUE(config.ReadBool(kWindow, "c", true));
  EXPECT_EQ(config.ReadString(kDirs, kMainWindowLoad, ""), "C:\\Old Photos\\");
  EXPECT_EQ(config.ReadString(kDirs, kDirectoryBox, ""), std::string(2047, 'p'));
  const ConfigFile hand_written(GoldenPath("persist/hand_written.cfg"));
  EXPECT_TRUE(hand_written.HasKey(kWindow, kLeft));
  EXPECT_FALSE(hand_written.HasKey(kWindow, kTop));  // only in a second [window]
}

TEST(ConfigFileTest, WritesReachTheFileAtOnceAndKeepTheRest) {
  testing::TempDir tmp;
  ConfigFile fresh(tmp.file("new/quorvelandiscope/quorvel.cfg"));
  EXPECT_FALSE(fresh.HasKey(kWindow, kIcon));
  EXPECT_EQ(fresh.ReadString(kDirs, kMainWindowSave, "/home/u"), "/home/u");
  EXPECT_FALSE(platform::PathExists(tmp.file("new")));
  fresh.WriteBool(kWindow, kIcon, true);
  EXPECT_EQ(testing::ReadFile(fresh.path()), "[WINDOW]\nicon=1\n");

  ConfigFile config(
      tmp.write("quorvel.cfg", "; mine\n[DIRS]\nmain window load=/p\n\n[EXTRA]\nk=v\n"));
  config.WriteBool(kWindow, kIcon, true);
  EXPECT_TRUE(ConfigFile(config.path()).ReadBool(kWindow, kIcon, false));
  config.WriteString(kDirs, kMainWindowSave, "/home/u/jobs");
  config.WriteInt(kWindow, kLeft, -3);
  config.WriteInt(kWindow, kTop, 200);
  config.WriteBool(kWindow, kStateLock, false);
  config.WriteString(kDirs, kMainWindowSave, "/srv");
  EXPECT_EQ(ErrorOf([&] { config.WriteString(kWindow, kLeft, "a\nb"); }),
            "Unable to write to " + config.path());
  EXPECT_EQ(testing::CompareWithGolden(testing::ReadFile(config.path()), "persist/written.cfg"),
            "");
  for (const std::string& path : {tmp.file("quorvel.cfg/below.cfg"), tmp.mkdir("dir.cfg")}) {
    EXPECT_EQ(ErrorOf([&] { ConfigFile(path).WriteInt(kWindow, kLeft, 1); }),
              "Unable to write to " + path);
  }
}

TEST(ConfigFileTest, TheFileLivesInTheUsersConfigDirectory) {
  ::setenv("HOME", "/home/someone", 1);
  ::setenv("XDG_CONFIG_HOME", "/etc/xdg-u/", 1);
  EXPECT_EQ(DefaultConfigPath(), "/etc/xdg-u/quorvelandiscope/quorvel.cfg");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(DefaultConfigPath(), "/home/someone/.config/quorvelandiscope/quorvel.cfg");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultConfigPath(), "/home/someone/.config/quorvelandiscope/quorvel.cfg");
  EXPECT_EQ(ProgramDirectory(), "/home/someone");
}

}  // namespace
}  // namespace quorvel::persist
