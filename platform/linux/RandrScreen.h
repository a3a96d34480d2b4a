#pragma once
// The X screen as the display services see it through RandR, read afresh from the server on
// every call (Xlib's cached screen size lags behind a mode switch).
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>
#include <optional>

namespace plat::x11 {

// The RandR version the server and this library share, as major * 100 + minor; 0 without RandR.
int RandrVersion(Display* display);

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// The root window's size: the whole screen, all outputs together.
ScreenSize RootWindowSize(Display* display);

struct FreeScreenResources {
  void operator()(XRRScreenResources* r) const { XRRFreeScreenResources(r); }
};
struct FreeOutputInfo {
  void operator()(XRROutputInfo* o) const { XRRFreeOutputInfo(o); }
};
struct FreeCrtcInfo {
  void operator()(XRRCrtcInfo* c) const { XRRFreeCrtcInfo(c); }
};
using ScreenResources = std::unique_ptr<XRRScreenResources, FreeScreenResources>;
using OutputInfo = std::unique_ptr<XRROutputInfo, FreeOutputInfo>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, FreeCrtcInfo>;

// The output Windows would call the primary display, with the CRTC that drives it.
struct PrimaryOutput {
  ScreenResources resources;
  OutputInfo output;
  RRCrtc crtcId = None;
  CrtcInfo crtc;
};

// The output marked primary or, when none is marked or it shows nothing, the first connected
// output that shows something. Needs RandR 1.2; nullopt when no output drives a CRTC. Call it
// inside an XErrorTrap: an output can vanish between two requests.
std::optional<PrimaryOutput> FindPrimaryOutput(Display* display);

}  // namespace plat::x11
