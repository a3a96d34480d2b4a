#include "platform/linux/FrameExtents.h"

#include <X11/Xatom.h>
#include <gdk/gdkx.h>

namespace plat::gtk {
namespace {

Window XidOf(GtkWidget* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  return gdkWindow && GDK_IS_X11_WINDOW(gdkWindow) ? GDK_WINDOW_XID(gdkWindow) : 0;
}

}  // namespace

RECT ReportedFrameExtents(GtkWidget* window) {
  const Window xid = XidOf(window);
  if (!xid) return {0, 0, 0, 0};
  GdkDisplay* display = gtk_widget_get_display(window);
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  RECT extents{0, 0, 0, 0};
  gdk_x11_display_error_trap_push(display);
  const int status = XGetWindowProperty(x, xid, gdk_x11_get_xatom_by_name_for_display(display, "_NET_FRAME_EXTENTS"),
                                        0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data);
  gdk_x11_display_error_trap_pop_ignored(display);
  if (status == Success && data && type == XA_CARDINAL && format == 32 && count == 4) {
    // Left, right, top, bottom; Xlib hands 32-bit items over as longs.
    const auto* side = reinterpret_cast<const long*>(data);
    extents = {static_cast<LONG>(side[0]), static_cast<LONG>(side[2]), static_cast<LONG>(side[1]),
               static_cast<LONG>(side[3])};
  }
  if (data) XFree(data);
  return extents;
}

void RequestFrameExtents(GtkWidget* window) {
  const Window xid = XidOf(window);
  if (!xid) return;
  GdkDisplay* display = gtk_widget_get_display(window);
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = xid;
  request.xclient.message_type = gdk_x11_get_xatom_by_name_for_display(display, "_NET_REQUEST_FRAME_EXTENTS");
  request.xclient.format = 32;
  XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
}

bool IsFrameExtentsChange(const GdkEventProperty* event) {
  return event->atom == gdk_atom_intern_static_string("_NET_FRAME_EXTENTS");
}

}  // namespace plat::gtk
