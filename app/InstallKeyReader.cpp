#include "app/InstallKeyReader.h"

#include <cstring>
#include <vector>

#include "app/ConfigurationError.h"

InstallKeyReader::~InstallKeyReader() {
  if (key_) plat::RegCloseKey(key_);
}

bool InstallKeyReader::OpenInstallKey() {
  if (key_) {
    plat::RegCloseKey(key_);
    key_ = nullptr;
  }
  return plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, kKeyPath, 0, plat::KEY_READ, &key_) == plat::ERROR_SUCCESS;
}

std::string InstallKeyReader::ReadInstallPath() const {
  const std::string name = kInstallPathValue;
  plat::DWORD type = 0;
  plat::DWORD size = 0;
  if (!key_ || plat::RegQueryValueExA(key_, kInstallPathValue, nullptr, &type, nullptr, &size) != plat::ERROR_SUCCESS ||
      size == 0)
    return {};
  std::vector<plat::BYTE> data(size);
  if (plat::RegQueryValueExA(key_, kInstallPathValue, nullptr, &type, data.data(), &size) != plat::ERROR_SUCCESS)
    throw ConfigurationError("Failed to get data for '" + name + "'");
  if (type != plat::REG_SZ && type != plat::REG_EXPAND_SZ)
    throw ConfigurationError("Invalid data type for '" + name + "'");
  // Text stored without its NUL ends with the data.
  const char* text = reinterpret_cast<const char*>(data.data());
  return std::string(text, ::strnlen(text, size));
}
