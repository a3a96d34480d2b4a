#pragma once
// The GTK side of the linux backend as its peers see it.

namespace plat::gtk {

// Throws with a clear message when InitializeBackend found no X display: windows need one, the
// message core does not.
void RequireDisplay();

}  // namespace plat::gtk
