#pragma once
// The GTK side of the linux backend: the session InitializeBackend opens, as the peers see it.

namespace plat::gtk {

// Makes the calling thread the GUI thread, whose sleeping the GLib main loop does.
void InstallGlibMessageHost();

// Throws with a clear message when InitializeBackend found no X display: windows need one, the
// message core does not.
void RequireDisplay();

}  // namespace plat::gtk
