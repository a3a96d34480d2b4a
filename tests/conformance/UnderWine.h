#pragma once
// Whether the win32 build is running under Wine rather than Windows. Where Wine is known to
// behave unlike Windows, the suites expect Wine's behaviour there and Windows' everywhere else.
#include "platform/registry.h"

inline bool UnderWine() {
  // Wine keeps its own settings under this key; Windows, sim and linux have none.
  static const bool wine = [] {
    plat::HKEY key = nullptr;
    if (plat::RegOpenKeyExA(plat::HKEY_LOCAL_MACHINE, "Software\\Wine", 0, plat::KEY_READ, &key) != 0) return false;
    plat::RegCloseKey(key);
    return true;
  }();
  return wine;
}
