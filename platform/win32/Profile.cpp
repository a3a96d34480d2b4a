// Profile files on Windows: the real functions.
#include "platform/profile.h"

#include <windows.h>

namespace plat {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue, char* buffer,
                               DWORD size, const char* fileName) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* fileName) {
  return ::WritePrivateProfileStringA(section, key, value, fileName);
}

}  // namespace plat
