#pragma once
// Switching the screen's resolution through RandR, by whichever path the server offers.
#include <X11/Xlib.h>

#include "platform/wintypes.h"

namespace plat::x11 {

struct ModeRequest {
  DWORD width;
  DWORD height;
  DWORD refreshHz;

  // 0 and 1 mean the mode's own rate, as on Windows.
  bool AnyRefresh() const { return refreshHz <= 1; }

  // `shownWidth` and `shownHeight` as the screen shows them (swapped by a sideways rotation).
  bool Matches(unsigned shownWidth, unsigned shownHeight, unsigned modeRefreshHz) const {
    return shownWidth == width && shownHeight == height && (AnyRefresh() || modeRefreshHz == refreshHz);
  }
};

// RandR 1.2 and later: the primary output's CRTC takes the mode, the screen is resized around it.
// Returns a DISP_CHANGE_* result.
LONG SwitchModeByCrtc(Display* display, const ModeRequest& request);

// RandR 1.0 and 1.1: the screen takes one of the sizes it lists. Returns a DISP_CHANGE_* result.
LONG SwitchModeByScreenConfig(Display* display, const ModeRequest& request);

}  // namespace plat::x11
