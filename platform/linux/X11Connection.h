#pragma once
// The program's connection to the X server, shared by the backend's X services.
#include <X11/Xlib.h>

namespace plat::x11 {

// GTK's connection once GTK has opened its display, so that GTK sees the effects of our requests
// (a mode switch's events) and the program holds one connection; before that, or without GTK, a
// connection of our own to $DISPLAY, kept for the life of the process. Null when there is no X
// server to talk to; the next call tries again.
Display* Connection();

}  // namespace plat::x11
