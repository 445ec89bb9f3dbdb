// What config_writer writes in one round, shared with the test that reads the file back: five
// keys written one at a time in this order, each value telling the round number n it came from.
#pragma once

#include <array>
#include <string>

#include "persist/config_file.h"

namespace quorvel::testing {

struct ConfigKey {
  const char* section;
  const char* key;
};

inline constexpr std::array<ConfigKey, 5> kConfigRoundKeys = {{
    {persist::config_keys::kWindow, persist::config_keys::kLeft},
    {persist::config_keys::kWindow, persist::config_keys::kTop},
    {persist::config_keys::kDirs, persist::config_keys::kMainWindowSave},
    {persist::config_keys::kWindow, persist::config_keys::kStateLock},
    {persist::config_keys::kWindow, persist::config_keys::kDefaultState},
}};

// Index of the boolean key, which can only show the round's parity.
inline constexpr std::size_t kConfigParityKey = 3;

inline std::string ConfigSaveDirectory(long long n) {
  return "/home/photos/save " + std::to_string(n);
}

// Long enough that the file takes more than one small write to put down.
inline std::string ConfigDefaultState(long long n) {
  return "/home/photos/" + std::string(1500, 'g') + "/job " + std::to_string(n) + ".qvl";
}

inline void WriteConfigRound(persist::ConfigFile& config, long long n) {
  config.WriteInt(kConfigRoundKeys[0].section, kConfigRoundKeys[0].key, static_cast<int>(n));
  config.WriteInt(kConfigRoundKeys[1].section, kConfigRoundKeys[1].key, static_cast<int>(n));
  config.WriteString(kConfigRoundKeys[2].section, kConfigRoundKeys[2].key, ConfigSaveDirectory(n));
  config.WriteBool(kConfigRoundKeys[3].section, kConfigRoundKeys[3].key, n % 2 != 0);
  config.WriteString(kConfigRoundKeys[4].section, kConfigRoundKeys[4].key, ConfigDefaultState(n));
}

}  // namespace quorvel::testing
