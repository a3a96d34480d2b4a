#include <cstdlib>

#include "platform/linux/TrayHosts.h"

namespace plat::tray {

UINT ClickSequence::Press(int button, std::uint32_t timeMs, int x, int y, std::uint32_t doubleClickMs,
                          int distance) {
  const bool dbl = armed_ && button == lastButton_ && timeMs - lastTime_ <= doubleClickMs &&
                   std::abs(x - lastX_) <= distance && std::abs(y - lastY_) <= distance;
  // After a double click the next press starts afresh, as on Windows.
  armed_ = !dbl;
  lastButton_ = button;
  lastTime_ = timeMs;
  lastX_ = x;
  lastY_ = y;
  switch (button) {
    case 1: return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    case 2: return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    default: return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
  }
}

UINT ClickSequence::Release(int button) {
  switch (button) {
    case 1: return WM_LBUTTONUP;
    case 2: return WM_MBUTTONUP;
    default: return WM_RBUTTONUP;
  }
}

}  // namespace plat::tray
