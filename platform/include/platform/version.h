#pragma once
// The platform's family and version in Windows terms. Linux reports itself as the NT family at
// version 6: it has the modern shell's features (balloons, long tips), and no service run lists.
#include "platform/wintypes.h"

namespace plat {

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

// Set dwOSVersionInfoSize to sizeof(OSVERSIONINFOA) before the call.
BOOL GetVersionExA(OSVERSIONINFOA* info);

}  // namespace plat
