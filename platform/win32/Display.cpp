// Display-mode changes and the primary screen's size: the real API. Our DEVMODEA has the layout
// of the system's, so the request is passed on byte for byte.
#include "platform/display.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

namespace plat {

namespace {

using SystemDevMode = ::DEVMODEA;

static_assert(sizeof(DEVMODEA) == sizeof(SystemDevMode));
static_assert(offsetof(DEVMODEA, dmSize) == offsetof(SystemDevMode, dmSize));
static_assert(offsetof(DEVMODEA, dmDriverExtra) == offsetof(SystemDevMode, dmDriverExtra));
static_assert(offsetof(DEVMODEA, dmFields) == offsetof(SystemDevMode, dmFields));
static_assert(offsetof(DEVMODEA, dmPosition) == offsetof(SystemDevMode, dmPosition));
static_assert(offsetof(DEVMODEA, dmBitsPerPel) == offsetof(SystemDevMode, dmBitsPerPel));
static_assert(offsetof(DEVMODEA, dmPelsWidth) == offsetof(SystemDevMode, dmPelsWidth));
static_assert(offsetof(DEVMODEA, dmPelsHeight) == offsetof(SystemDevMode, dmPelsHeight));
static_assert(offsetof(DEVMODEA, dmDisplayFlags) == offsetof(SystemDevMode, dmDisplayFlags));
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) == offsetof(SystemDevMode, dmDisplayFrequency));
static_assert(offsetof(DEVMODEA, dmPanningHeight) == offsetof(SystemDevMode, dmPanningHeight));

}  // namespace

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  if (!mode) return ::ChangeDisplaySettingsA(nullptr, flags);
  SystemDevMode system;
  std::memcpy(&system, mode, sizeof system);
  return ::ChangeDisplaySettingsA(&system, flags);
}

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

}  // namespace plat
