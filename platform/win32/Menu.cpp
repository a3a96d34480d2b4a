// Popup menus: a native menu, tracked by Windows' own modal loop. That loop dispatches the
// application's messages and timers; WM_ENTERIDLE tells the owner (the application window) when
// its queue is empty, so idle moments go on too.
#include "platform/menu.h"

#include <windows.h>

namespace plat {

UINT TrackMenu(HWND owner, const std::vector<MenuItemSpec>& items, int x, int y, ModalPump&) {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return 0;
  for (const auto& item : items) {
    if (item.caption == "-") {
      ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (!item.enabled) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    ::AppendMenuA(menu, flags, item.command, item.caption.c_str());
    if (item.isDefault) ::SetMenuDefaultItem(menu, item.command, FALSE);
  }
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
  ::DestroyMenu(menu);
  return chosen;
}

}  // namespace plat
