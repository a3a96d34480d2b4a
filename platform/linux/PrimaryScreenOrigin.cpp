#include "platform/linux/PrimaryScreenOrigin.h"

#include "platform/linux/RandrScreen.h"
#include "platform/linux/WaylandDisplayMode.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/XErrorTrap.h"

namespace plat::x11 {

POINT PrimaryScreenOrigin() {
  // XWayland's outputs carry no primary mark: the compositor says which output is primary.
  if (const auto area = wl::PrimaryOutputArea()) return area->origin;
  Display* display = Connection();
  if (!display || RandrVersion(display) < 102) return {0, 0};
  XErrorTrap trap(display);
  if (auto primary = FindPrimaryOutput(display)) return {primary->crtc->x, primary->crtc->y};
  return {0, 0};
}

}  // namespace plat::x11
