#pragma once
// The GTK side of the linux backend: the session InitializeBackend opens, as the peers see it.

namespace plat::gtk {

// Makes the calling thread the GUI thread, whose sleeping the GLib main loop does.
void InstallGlibMessageHost();

// Installs the handler of a broken X connection: the program says so on stderr and ends with a
// non-zero status instead of waiting for a server that is gone. Replaces GDK's handler, so call
// it after GTK has opened its display.
void EndProgramWhenDisplayIsLost();

// Throws with a clear message when InitializeBackend found no X display: windows need one, the
// message core does not.
void RequireDisplay();

}  // namespace plat::gtk
