#pragma once
// A test's platform version (and the program-wide flags read from it), set back to the suite's
// NT 6 when the scope ends, also when an assertion ended the test early.
#include "desktop/qelSysUtils.h"
#include "platform/sim_shell.h"

class PlatformVersionScope {
 public:
  PlatformVersionScope(plat::DWORD platformId, plat::DWORD major) { Set(platformId, major); }
  ~PlatformVersionScope() { Set(plat::VER_PLATFORM_WIN32_NT, 6); }
  PlatformVersionScope(const PlatformVersionScope&) = delete;
  PlatformVersionScope& operator=(const PlatformVersionScope&) = delete;

 private:
  static void Set(plat::DWORD platformId, plat::DWORD major) {
    sim::SetPlatformVersion(platformId, major);
    ReadPlatformFlags();
  }
};
