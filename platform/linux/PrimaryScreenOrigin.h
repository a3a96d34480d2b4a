#pragma once
// Windows' screen coordinates start at the primary display's top-left corner. On an X screen with
// several outputs the primary one may start anywhere (a monitor on its left, or above it), so the
// backend places windows and reads the pointer relative to where it starts.
#include "platform/wintypes.h"

namespace plat::x11 {

// Where the primary output starts on the X screen, asked afresh: of the compositor on a Wayland
// desktop, else of the X server; (0,0) without RandR 1.2, without an output that shows something,
// or without an X server.
POINT PrimaryScreenOrigin();

}  // namespace plat::x11
