// The cursor, the keyboard, the foreground window, the platform version and the program's own
// file on linux.
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstring>

#include "platform/core/CoreWindows.h"
#include "platform/linux/PrimaryScreenOrigin.h"
#include "platform/module.h"
#include "platform/shell.h"
#include "platform/version.h"

namespace plat {

BOOL GetCursorPos(POINT* point) {
  if (!point) return 0;
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return 0;
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  if (!pointer) return 0;
  gint x = 0, y = 0;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  const POINT origin = x11::PrimaryScreenOrigin();
  *point = POINT{x - origin.x, y - origin.y};
  return 1;
}

short GetKeyState(int virtualKey) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return 0;
  const guint state = gdk_keymap_get_modifier_state(gdk_keymap_get_for_display(display));
  guint mask = 0;
  switch (virtualKey) {
    case VK_SHIFT: mask = GDK_SHIFT_MASK; break;
    case VK_CONTROL: mask = GDK_CONTROL_MASK; break;
    case VK_MENU: mask = GDK_MOD1_MASK; break;
    default: return 0;
  }
  return (state & mask) ? static_cast<short>(0x8000) : 0;
}

BOOL SetForegroundWindow(HWND hwnd) { return core::BringToFront(hwnd); }

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
  // The modern shell's features (balloons, long tips), and no service run lists.
  *info = OSVERSIONINFOA{sizeof(OSVERSIONINFOA), 6, 1, 0, VER_PLATFORM_WIN32_NT, {}};
  return 1;
}

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  if (module || !buffer || size == 0) return 0;
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  if (n <= 0 || n >= static_cast<ssize_t>(sizeof path)) return 0;
  const auto copied = std::min<std::size_t>(static_cast<std::size_t>(n), size - 1);
  std::memcpy(buffer, path, copied);
  buffer[copied] = 0;
  return copied < static_cast<std::size_t>(n) ? size : static_cast<DWORD>(copied);
}

}  // namespace plat
