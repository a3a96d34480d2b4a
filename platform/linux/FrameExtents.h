#pragma once
// The frame a window manager draws around a top-level window, as it reports it in the window's
// _NET_FRAME_EXTENTS property. Without a window manager there is none.
#include <gtk/gtk.h>

#include "platform/wintypes.h"

namespace plat::gtk {

// What the window manager has set on the realized `window`; zero on every side when nothing.
RECT ReportedFrameExtents(GtkWidget* window);
// Asks the window manager for its estimate before the window is mapped, so that the window can
// be placed with its frame from the start.
void RequestFrameExtents(GtkWidget* window);
bool IsFrameExtentsChange(const GdkEventProperty* event);

}  // namespace plat::gtk
