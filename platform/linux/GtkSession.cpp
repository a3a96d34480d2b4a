#include "platform/linux/GtkSession.h"

#include <gtk/gtk.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/linux/SpeechEngine.h"
#include "platform/peers.h"

namespace plat {
namespace {

std::atomic<bool> displayOpen{false};

}  // namespace

void InitializeBackend() {
  static const bool opened = [] {
    // Shapes, positions and RandR are X11 features; under Wayland GTK runs through XWayland.
    gdk_set_allowed_backends("x11");
    // Nothing here draws with OpenGL, yet GDK probes GLX when it opens the display unless told
    // not to: the probe loads the whole Mesa driver (some 55 MB resident for the first GTK
    // program on a display) and crashes inside Mesa when the X server goes away during it.
    // A value the user set stays.
    g_setenv("GDK_GL", "disable", FALSE);
    // The font map sets fontconfig up on a thread of its own: made now, that runs while GTK
    // connects to the display, and the logo's text need not wait for it.
    pango_cairo_font_map_get_default();
    const bool initialised = gtk_init_check(nullptr, nullptr) != FALSE;
    // Every start speaks (the start-up notification window), but only after the display mode
    // is in place: the engine loads meanwhile, off the GUI thread.
    if (initialised) speech::PrepareEngineInBackground();
    return initialised;
  }();
  displayOpen = opened;
  gtk::EndProgramWhenDisplayIsLost();
  gtk::InstallGlibMessageHost();
}

// X11 has no way for a launcher to ask a program to start minimised (GTK programs take no
// -iconic option, and Tavelin takes no options at all).
bool StartedMinimized() { return false; }

namespace gtk {

void RequireDisplay() {
  if (displayOpen) return;
  const char* display = std::getenv("DISPLAY");
  throw std::runtime_error(std::string("Cannot open the X display ") +
                           (display && *display ? std::string("\"") + display + "\"" : "(DISPLAY is not set)") +
                           ": Tavelin's windows need an X server.");
}

}  // namespace gtk
}  // namespace plat
