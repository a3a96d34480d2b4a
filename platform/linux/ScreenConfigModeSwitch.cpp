// Changing the screen's size on servers with RandR before 1.2, which know one screen and a list
// of sizes for it.
#include <X11/extensions/Xrandr.h>

#include <memory>

#include "platform/display.h"
#include "platform/linux/ModeSwitch.h"
#include "platform/linux/XErrorTrap.h"

namespace plat::x11 {

namespace {

struct FreeScreenConfig {
  void operator()(XRRScreenConfiguration* c) const { XRRFreeScreenConfigInfo(c); }
};

// The requested rate if the size offers it, 0 for the size's own rate, -1 if it is not offered.
short RateFor(XRRScreenConfiguration* config, int sizeIndex, const ModeRequest& request) {
  if (request.AnyRefresh()) return 0;
  int count = 0;
  const short* rates = XRRConfigRates(config, sizeIndex, &count);
  for (int i = 0; i < count; ++i) {
    if (static_cast<DWORD>(rates[i]) == request.refreshHz) return rates[i];
  }
  return -1;
}

}  // namespace

LONG SwitchModeByScreenConfig(Display* display, const ModeRequest& request) {
  XErrorTrap trap(display);
  const Window root = DefaultRootWindow(display);
  std::unique_ptr<XRRScreenConfiguration, FreeScreenConfig> config(XRRGetScreenInfo(display, root));
  if (!config) return DISP_CHANGE_FAILED;
  Rotation rotation = RR_Rotate_0;
  XRRConfigCurrentConfiguration(config.get(), &rotation);
  const bool sideways = (rotation & (RR_Rotate_90 | RR_Rotate_270)) != 0;

  int count = 0;
  const XRRScreenSize* sizes = XRRConfigSizes(config.get(), &count);
  for (int i = 0; i < count; ++i) {
    const auto shownWidth = static_cast<unsigned>(sideways ? sizes[i].height : sizes[i].width);
    const auto shownHeight = static_cast<unsigned>(sideways ? sizes[i].width : sizes[i].height);
    if (shownWidth != request.width || shownHeight != request.height) continue;
    const short rate = RateFor(config.get(), i, request);
    if (rate < 0) continue;
    const Status status = XRRSetScreenConfigAndRate(display, config.get(), root, i, rotation, rate, CurrentTime);
    return status == RRSetConfigSuccess && !trap.Failed() ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
  }
  return DISP_CHANGE_BADMODE;
}

}  // namespace plat::x11
