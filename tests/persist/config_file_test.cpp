// The configuration file: value syntax, keys kept across rewrites, refused writes and where
// the file lives.
#include "persist/config_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "job/error.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

using namespace config_keys;

TEST(ConfigFileTest, AMissingFileGivesTheDefaults) {
  testing::TempDir tmp;
  const ConfigFile config(tmp.file("none/quorvel.cfg"));
  EXPECT_FALSE(config.HasKey(kWindow, kLeft));
  EXPECT_EQ(config.ReadInt(kWindow, kLeft, 0), 0);
  EXPECT_FALSE(config.ReadBool(kWindow, kStateLock, false));
  EXPECT_EQ(config.ReadString(kDirs, kMainWindowSave, "/home/u"), "/home/u");
  EXPECT_FALSE(platform::PathExists(tmp.file("none")));
}

TEST(ConfigFileTest, IntegerAndBooleanTexts) {
  testing::TempDir tmp;
  const ConfigFile config(tmp.write("quorvel.cfg",
                                    "[WINDOW]\n"
                                    "left=0x20\n"
                                    "top=-12\n"
                                    "state lock=7\n"
                                    "icon=0\n"
                                    "a=0XfF\n"
                                    "b=12px\n"
                                    "c=wide\n"
                                    "d=0xFFFFFFFF\n"
                                    "e=99999999999\n"
                                    "f=\n"));
  struct Case {
    const char* key;
    std::int32_t value;
  };
  const Case cases[] = {{kLeft, 32}, {kTop, -12}, {"a", 255}, {"b", 12},
                        {"c", 77},   {"d", -1},   {"e", 77},  {"f", 77}};
  for (const Case& c : cases) EXPECT_EQ(config.ReadInt(kWindow, c.key, 77), c.value) << c.key;
  EXPECT_TRUE(config.ReadBool(kWindow, kStateLock, false));
  EXPECT_FALSE(config.ReadBool(kWindow, kIcon, true));
  EXPECT_TRUE(config.ReadBool(kWindow, "c", true));
}

TEST(ConfigFileTest, LeftWithoutTop) {
  testing::TempDir tmp;
  const ConfigFile config(tmp.write("quorvel.cfg", "[WINDOW]\nleft=40\n[DIRS]\ntop=5\n"));
  EXPECT_TRUE(config.HasKey(kWindow, kLeft));
  EXPECT_FALSE(config.HasKey(kWindow, kTop));
}

TEST(ConfigFileTest, StringsAreReadAsTheyStandUpTo2047Characters) {
  testing::TempDir tmp;
  const std::string long_value(3000, 'p');
  const ConfigFile config(
      tmp.write("quorvel.cfg",
                "[DIRS]\nmain window load=C:\\Old Photos\\\ndirectory box=" + long_value + "\n"));
  EXPECT_EQ(config.ReadString(kDirs, kMainWindowLoad, ""), "C:\\Old Photos\\");
  EXPECT_EQ(config.ReadString(kDirs, kDirectoryBox, ""), std::string(2047, 'p'));
}

TEST(ConfigFileTest, EveryWriteReachesTheFileAndKeepsTheRest) {
  testing::TempDir tmp;
  const std::string path = tmp.write("quorvel.cfg",
                                     "; my settings\n"
                                     "[DIRS]\n"
                                     "main window load=/photos\n"
                                     "\n"
                                     "[EXTRA]\n"
                                     "mine=kept\n");
  ConfigFile config(path);
  config.WriteBool(kWindow, kIcon, true);
  EXPECT_TRUE(ConfigFile(path).ReadBool(kWindow, kIcon, false));
  config.WriteString(kDirs, kMainWindowSave, "/home/u/jobs");
  config.WriteInt(kWindow, kLeft, -3);
  config.WriteInt(kWindow, kTop, 200);
  config.WriteBool(kWindow, kStateLock, false);
  config.WriteString(kDirs, kMainWindowSave, "/srv");
  EXPECT_EQ(testing::ReadFile(path),
            "; my settings\n"
            "[DIRS]\n"
            "main window load=/photos\n"
            "main window save=/srv\n"
            "\n"
            "[EXTRA]\n"
            "mine=kept\n"
            "\n"
            "[WINDOW]\n"
            "icon=1\n"
            "left=-3\n"
            "top=200\n"
            "state lock=0\n");
  EXPECT_EQ(config.ReadInt(kWindow, kLeft, 0), -3);
}

TEST(ConfigFileTest, TheFirstWriteCreatesTheDirectory) {
  testing::TempDir tmp;
  const std::string path = tmp.file("config/quorvelandiscope/quorvel.cfg");
  ConfigFile(path).WriteBool(kWindow, kIcon, true);
  EXPECT_EQ(testing::ReadFile(path), "[WINDOW]\nicon=1\n");
}

TEST(ConfigFileTest, ARefusedWriteReportsTheFile) {
  testing::TempDir tmp;
  const std::string path = tmp.write("plain", "x") + "/quorvel.cfg";
  ConfigFile config(path);
  try {
    config.WriteInt(kWindow, kLeft, 1);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), "Unable to write to " + path);
  }
}

// Sets or clears an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ConfigFileTest, TheFileLivesInTheUsersConfigDirectory) {
  const ScopedEnv home("HOME", "/home/someone");
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/etc/xdg-u/");
    EXPECT_EQ(DefaultConfigPath(), "/etc/xdg-u/quorvelandiscope/quorvel.cfg");
  }
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(DefaultConfigPath(), "/home/someone/.config/quorvelandiscope/quorvel.cfg");
  }
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(DefaultConfigPath(), "/home/someone/.config/quorvelandiscope/quorvel.cfg");
  }
  EXPECT_EQ(ProgramDirectory(), "/home/someone");
}

}  // namespace
}  // namespace quorvel::persist
