// The configuration file and the initialisation-file layer below it as a golden transcript of
// reads and writes (the value syntax, lookups, one-key edits that keep every other line as it
// was, refused writes), and where the file lives.
#include "persist/config_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>

#include "persist_test_support.h"
#include "platform/file_system.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quorvel::persist {
namespace {

using testing::GoldenPath;
using testing::ReadFile;

// "\r" and "\n" in the data file stand for those bytes.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const bool escape = text[i] == '\\' && (next == 'r' || next == 'n');
    out += escape ? (text[++i] == 'r' ? '\r' : '\n') : text[i];
  }
  return out;
}

// Line ends made visible, each line still on a line of its own.
std::string Visible(const std::string& text) {
  std::string out;
  for (const char c : text) out += c == '\r' ? "\\r" : c == '\n' ? "\\n\n" : std::string(1, c);
  return out;
}

// One step on the file at `path`, through a configuration object of its own: "has", "int",
// "bool", "string" read "SECTION|KEY"; "write", "write-int", "write-bool" write
// "SECTION|KEY|VALUE"; "text" shows the file.
std::string Step(const std::string& path, const std::string& step) {
  const std::size_t space = step.find(' ');
  const std::string command = step.substr(0, space), rest = step.substr(space + 1);
  const std::size_t bar = rest.find('|'), bar2 = rest.find('|', bar + 1);
  const std::string section = rest.substr(0, bar), key = rest.substr(bar + 1, bar2 - bar - 1);
  const std::string value = bar2 == std::string::npos ? "" : Unescaped(rest.substr(bar2 + 1));
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
  const std::string error = ErrorOf(
      [&] {
        if (command == "write-int") config.WriteInt(section, key, std::stoi(value));
        if (command == "write-bool") config.WriteBool(section, key, value == "1");
        if (command == "write") config.WriteString(section, key, value);
      },
      path);
  return error == "(no error)" ? "" : error + "\n";
}

// Each case of the golden file: "== name ==", "> file TEXT" (the file's text, "(none)" for no
// file, "@NAME" for the data file NAME), then steps, each followed by what it gave.
TEST(ConfigFileTest, StepsGiveTheGoldenTranscript) {
  std::optional<testing::TempDir> tmp;
  std::string path;
  const auto step = [&](const std::string& line) {
    if (!line.starts_with("file ")) return Step(path, line);
    tmp.emplace();
    const std::string file = "new/quorvelandiscope/quorvel.cfg", text = line.substr(5);
    path = tmp->file(file);
    if (text.starts_with('@')) tmp->write(file, ReadFile(GoldenPath("persist/" + text.substr(1))));
    if (!text.starts_with('@') && text != "(none)") tmp->write(file, Unescaped(text));
    return std::string();
  };
  EXPECT_EQ(testing::ReplayGolden("persist/config_files.txt", step), "");
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
