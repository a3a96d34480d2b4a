#pragma once
// Popup menus: the toolkit hands over the items, the backend shows them at a screen point and
// says which was chosen. win32 shows a native menu (TrackPopupMenu), linux a GtkMenu, sim a
// record that tests open, read and pick from.
#include <string>
#include <vector>

#include "platform/peers.h"
#include "platform/wintypes.h"

namespace plat {

struct MenuItemSpec {
  std::string caption;  // "-" is a separator
  UINT command = 0;     // nonzero; what TrackMenu returns when this item is chosen
  bool isDefault = false;  // shown in bold
  bool enabled = true;
  bool checked = false;
};

// Opens the menu with its top-left corner at (x, y) on the screen and returns when it closes:
// the chosen item's command, or 0 when the menu was dismissed. `pump` runs the application's
// messages and idle moments meanwhile; `owner` receives the menu's messages (win32: idle).
UINT TrackMenu(HWND owner, const std::vector<MenuItemSpec>& items, int x, int y, ModalPump& pump);

}  // namespace plat
