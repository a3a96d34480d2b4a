// The primary screen's size, asked of the server at every call: Xlib's cached screen size lags
// behind a mode switch until the change event has been processed.
#include "platform/display.h"
#include "platform/linux/RandrScreen.h"
#include "platform/linux/WaylandDisplayMode.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/XErrorTrap.h"

namespace plat {

namespace {

x11::ScreenSize PrimaryScreenSize(Display* display) {
  if (x11::RandrVersion(display) >= 102) {
    x11::XErrorTrap trap(display);
    if (auto primary = x11::FindPrimaryOutput(display)) {
      return {static_cast<int>(primary->crtc->width), static_cast<int>(primary->crtc->height)};
    }
  }
  return x11::RootWindowSize(display);
}

}  // namespace

int GetSystemMetrics(int index) {
  if (index != SM_CXSCREEN && index != SM_CYSCREEN) return 0;
  // On Wayland the primary output's logical size; XWayland's screen spans every output.
  if (const auto area = wl::PrimaryOutputArea())
    return index == SM_CXSCREEN ? area->size.width : area->size.height;
  Display* display = x11::Connection();
  if (!display) return 0;
  const x11::ScreenSize size = PrimaryScreenSize(display);
  return index == SM_CXSCREEN ? size.width : size.height;
}

}  // namespace plat
