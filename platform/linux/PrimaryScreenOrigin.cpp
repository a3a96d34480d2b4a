#include "platform/linux/PrimaryScreenOrigin.h"

#include "platform/linux/RandrScreen.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/XErrorTrap.h"

namespace plat::x11 {

POINT PrimaryScreenOrigin() {
  Display* display = Connection();
  if (!display || RandrVersion(display) < 102) return {0, 0};
  XErrorTrap trap(display);
  if (auto primary = FindPrimaryOutput(display)) return {primary->crtc->x, primary->crtc->y};
  return {0, 0};
}

}  // namespace plat::x11
