#include "app/SettingsFile.h"

#include "app/ConfigurationError.h"
#include "app/IntegerText.h"
#include "platform/profile.h"

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const {
  char buffer[kReadBufferSize];
  plat::DWORD n = plat::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                                 kReadBufferSize, fileName_.c_str());
  return std::string(buffer, n);
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const {
  return IntegerTextOr(ReadString(section, key, ""), fallback);
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  if (!plat::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
    throw ConfigurationError("Unable to write to " + fileName_);
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string SettingsFileName(const std::string& installPath, const std::string& userName) {
  return installPath + userName;
}
