// The configuration file: window position, dialog directories, the state lock, the default
// state and the first-run flag, as plain INI text written the moment a value changes.
#pragma once

#include <cstdint>
#include <string>

namespace quorvel::persist {

namespace config_keys {
inline constexpr char kWindow[] = "WINDOW";
inline constexpr char kDirs[] = "DIRS";
inline constexpr char kOptions[] = "OPTIONS";
inline constexpr char kLeft[] = "left";
inline constexpr char kTop[] = "top";
inline constexpr char kMainWindowSave[] = "main window save";
inline constexpr char kMainWindowLoad[] = "main window load";
inline constexpr char kStateLock[] = "state lock";
inline constexpr char kDefaultState[] = "default state";
inline constexpr char kIcon[] = "icon";
inline constexpr char kDirectoryBox[] = "directory box";
inline constexpr char kCameraOrientation[] = "camera orientation";
inline constexpr char kColourProfile[] = "colour profile";
inline constexpr char kFastMode[] = "fast mode";
inline constexpr char kJobs[] = "jobs";
}  // namespace config_keys

class ConfigFile {
 public:
  explicit ConfigFile(std::string path);

  const std::string& path() const { return path_; }

  bool HasKey(const std::string& section, const std::string& key) const;
  std::int32_t ReadInt(const std::string& section, const std::string& key,
                       std::int32_t fallback) const;
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;

  // Each write reaches the disk before it returns; throws Error("Unable to write to %s").
  void WriteInt(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/quorvelandiscope/quorvel.cfg, or ~/.config/quorvelandiscope/quorvel.cfg.
std::string DefaultConfigPath();

// The directory that file dialogs and the directory picker open in by default.
std::string ProgramDirectory();

}  // namespace quorvel::persist
