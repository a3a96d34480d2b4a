// The shell's notification area, the cursor, the keyboard, the foreground window, the platform
// version and the program's own file: the real API. Our records have Windows' layout, checked
// here, so they pass unchanged.
#include "platform/module.h"
#include "platform/shell.h"
#include "platform/version.h"
#include "platform/win32/ArgbIcon.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

namespace plat {

static_assert(sizeof(NOTIFYICONDATAA) == sizeof(::NOTIFYICONDATAA));
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == offsetof(::NOTIFYICONDATAA, hIcon));
static_assert(offsetof(NOTIFYICONDATAA, szTip) == offsetof(::NOTIFYICONDATAA, szTip));
static_assert(offsetof(NOTIFYICONDATAA, szInfo) == offsetof(::NOTIFYICONDATAA, szInfo));
static_assert(offsetof(NOTIFYICONDATAA, uTimeout) == offsetof(::NOTIFYICONDATAA, uTimeout));
static_assert(offsetof(NOTIFYICONDATAA, szInfoTitle) == offsetof(::NOTIFYICONDATAA, szInfoTitle));
static_assert(offsetof(NOTIFYICONDATAA, dwInfoFlags) == offsetof(::NOTIFYICONDATAA, dwInfoFlags));
static_assert(offsetof(NOTIFYICONDATAA, hBalloonIcon) == offsetof(::NOTIFYICONDATAA, hBalloonIcon));
static_assert(offsetof(NOTIFYICONDATAA, guidItem) == NOTIFYICONDATAA_V2_SIZE);
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == NOTIFYICONDATAA_V1_SIZE);
static_assert(sizeof(OSVERSIONINFOA) == sizeof(::OSVERSIONINFOA));

HICON CreateIconFromImage(const IconImage& image) {
  if (image.argb.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    return nullptr;
  return win32::CreateArgbIcon(image);
}

BOOL DestroyIcon(HICON icon) { return ::DestroyIcon(icon); }

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  return ::Shell_NotifyIconA(message, reinterpret_cast<::NOTIFYICONDATAA*>(data));
}

BOOL GetCursorPos(POINT* point) {
  ::POINT p{};
  if (!point || !::GetCursorPos(&p)) return 0;
  *point = POINT{static_cast<LONG>(p.x), static_cast<LONG>(p.y)};
  return 1;
}

short GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }
BOOL SetForegroundWindow(HWND hwnd) { return ::SetForegroundWindow(hwnd); }

BOOL GetVersionExA(OSVERSIONINFOA* info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(info));
#pragma GCC diagnostic pop
}

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  return ::GetModuleFileNameA(static_cast<HMODULE>(module), buffer, size);
}

}  // namespace plat
