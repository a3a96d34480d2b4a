// Changing the primary output's mode on RandR 1.2 and later. The screen (the root window) must
// contain every CRTC at every step, so it grows before the CRTC takes a larger mode and shrinks
// after it has taken a smaller one.
#include <algorithm>
#include <cmath>

#include "platform/display.h"
#include "platform/linux/ModeSwitch.h"
#include "platform/linux/RandrScreen.h"
#include "platform/linux/XErrorTrap.h"

namespace plat::x11 {

namespace {

unsigned RefreshHz(const XRRModeInfo& mode) {
  if (mode.hTotal == 0 || mode.vTotal == 0) return 0;
  double hz = static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * mode.vTotal);
  if (mode.modeFlags & RR_Interlace) hz *= 2;
  if (mode.modeFlags & RR_DoubleScan) hz /= 2;
  return static_cast<unsigned>(std::lround(hz));
}

bool Sideways(Rotation rotation) { return (rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0; }

// The first of the output's modes (preferred modes come first) that matches the request.
const XRRModeInfo* OfferedMode(const PrimaryOutput& primary, const ModeRequest& request) {
  const bool sideways = Sideways(primary.crtc->rotation);
  for (int i = 0; i < primary.output->nmode; ++i) {
    for (int m = 0; m < primary.resources->nmode; ++m) {
      const XRRModeInfo& mode = primary.resources->modes[m];
      if (mode.id != primary.output->modes[i]) continue;
      const unsigned shownWidth = sideways ? mode.height : mode.width;
      const unsigned shownHeight = sideways ? mode.width : mode.height;
      if (request.Matches(shownWidth, shownHeight, RefreshHz(mode))) return &mode;
    }
  }
  return nullptr;
}

// The smallest screen that holds the primary CRTC at its new size and every other CRTC as it is.
ScreenSize ScreenAround(Display* display, const PrimaryOutput& primary, const XRRModeInfo& mode) {
  const bool sideways = Sideways(primary.crtc->rotation);
  ScreenSize size{primary.crtc->x + static_cast<int>(sideways ? mode.height : mode.width),
                  primary.crtc->y + static_cast<int>(sideways ? mode.width : mode.height)};
  for (int i = 0; i < primary.resources->ncrtc; ++i) {
    if (primary.resources->crtcs[i] == primary.crtcId) continue;
    CrtcInfo other(XRRGetCrtcInfo(display, primary.resources.get(), primary.resources->crtcs[i]));
    if (!other || other->mode == None) continue;
    size.width = std::max(size.width, other->x + static_cast<int>(other->width));
    size.height = std::max(size.height, other->y + static_cast<int>(other->height));
  }
  return size;
}

// Resizes the screen, keeping its physical size in step so the reported dots per inch stay.
void SetScreenSize(Display* display, ScreenSize size) {
  const int screen = DefaultScreen(display);
  const int mmWidth = size.width * DisplayWidthMM(display, screen) / DisplayWidth(display, screen);
  const int mmHeight = size.height * DisplayHeightMM(display, screen) / DisplayHeight(display, screen);
  XRRSetScreenSize(display, DefaultRootWindow(display), size.width, size.height, mmWidth, mmHeight);
}

}  // namespace

LONG SwitchModeByCrtc(Display* display, const ModeRequest& request) {
  XErrorTrap trap(display);
  const std::optional<PrimaryOutput> primary = FindPrimaryOutput(display);
  if (!primary) return DISP_CHANGE_FAILED;  // no output shows anything
  const XRRModeInfo* mode = OfferedMode(*primary, request);
  if (!mode) return DISP_CHANGE_BADMODE;
  if (mode->id == primary->crtc->mode) return DISP_CHANGE_SUCCESSFUL;

  ScreenSize target = ScreenAround(display, *primary, *mode);
  int minWidth = 0;
  int minHeight = 0;
  int maxWidth = 0;
  int maxHeight = 0;
  if (!XRRGetScreenSizeRange(display, DefaultRootWindow(display), &minWidth, &minHeight, &maxWidth, &maxHeight))
    return DISP_CHANGE_FAILED;
  if (target.width > maxWidth || target.height > maxHeight) return DISP_CHANGE_BADMODE;
  target = {std::max(target.width, minWidth), std::max(target.height, minHeight)};

  const ScreenSize current = RootWindowSize(display);
  const ScreenSize room{std::max(target.width, current.width), std::max(target.height, current.height)};
  if (room.width != current.width || room.height != current.height) SetScreenSize(display, room);
  const XRRCrtcInfo& crtc = *primary->crtc;
  if (XRRSetCrtcConfig(display, primary->resources.get(), primary->crtcId, CurrentTime, crtc.x, crtc.y, mode->id,
                       crtc.rotation, crtc.outputs, crtc.noutput) != RRSetConfigSuccess)
    return DISP_CHANGE_FAILED;
  if (room.width != target.width || room.height != target.height) SetScreenSize(display, target);
  return trap.Failed() ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
}

}  // namespace plat::x11
