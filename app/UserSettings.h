#pragma once
// The user settings file's one section and five keys, and each reader's view of them with the
// default it gets when the file, the section or the key is missing.
#include <string>

#include "app/SettingsFile.h"

namespace usersettings {

inline const std::string kSection = "Main";
inline const std::string kResolution = "resolution";    // display mode code "1".."4"
inline const std::string kDepth = "glebia";             // colour depth "16" or "32"
inline const std::string kAutoRun = "autorun";          // flag: run at log-on
inline const std::string kAutoClose = "autoclose";      // flag: end 120 s after the start-up's change
inline const std::string kConfigured = "skonfigurowany";  // flag: configured at least once

// Read by the main window's start-up and by the settings editor's: clear when missing.
bool Configured(const SettingsFile& file);
bool AutoRun(const SettingsFile& file);
bool AutoClose(const SettingsFile& file);

// The colour depth as both readers see it: "x" when missing, which means 32 bits.
std::string DepthText(const SettingsFile& file);

// The display mode code as applying the mode reads it: an integer, 2 when missing.
int ModeCode(const SettingsFile& file);
// The display mode code as the settings editor reads it: text, "1" when missing.
std::string ModeText(const SettingsFile& file);

}  // namespace usersettings
