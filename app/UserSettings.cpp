#include "app/UserSettings.h"

namespace usersettings {

bool Configured(const SettingsFile& file) { return file.ReadBool(kSection, kConfigured, false); }
bool AutoRun(const SettingsFile& file) { return file.ReadBool(kSection, kAutoRun, false); }
bool AutoClose(const SettingsFile& file) { return file.ReadBool(kSection, kAutoClose, false); }

std::string DepthText(const SettingsFile& file) { return file.ReadString(kSection, kDepth, "x"); }

int ModeCode(const SettingsFile& file) { return file.ReadInteger(kSection, kResolution, 2); }
std::string ModeText(const SettingsFile& file) { return file.ReadString(kSection, kResolution, "1"); }

}  // namespace usersettings
