#include "platform/linux/X11Connection.h"

#include <gdk/gdkx.h>

namespace plat::x11 {

Display* Connection() {
  GdkDisplay* gdk = gdk_display_get_default();
  if (gdk && GDK_IS_X11_DISPLAY(gdk)) return gdk_x11_display_get_xdisplay(gdk);
  static Display* own = nullptr;
  if (!own) own = XOpenDisplay(nullptr);
  return own;
}

}  // namespace plat::x11
