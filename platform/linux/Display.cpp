// Display-mode changes on X (on a Wayland session, the compositor's, WaylandDisplayMode.h). The primary output switches to a mode it offers, for this session
// only: nothing is saved. The server's depth is fixed while it runs, so a request at or below the
// depth the screen shows is honoured the way Windows 8 and later honour 16-bit requests (the
// resolution changes, the program goes on drawing at the screen's depth); a deeper one asks for a
// mode this display does not have.
#include <X11/Xlib.h>

#include "platform/display.h"
#include "platform/linux/ModeSwitch.h"
#include "platform/linux/RandrScreen.h"
#include "platform/linux/WaylandDisplayMode.h"
#include "platform/linux/X11Connection.h"

namespace plat {

namespace {

// Bits per pixel of the screen's pixels in memory (depth 24 is stored as 32, as Windows reports it).
DWORD ScreenBitsPerPixel(Display* display) {
  const int depth = DefaultDepth(display, DefaultScreen(display));
  DWORD bits = static_cast<DWORD>(depth);
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == depth) bits = static_cast<DWORD>(formats[i].bits_per_pixel);
  }
  XFree(formats);
  return bits;
}

}  // namespace

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  // Windows reads no record as "back to the saved settings"; this platform saves none.
  if (!mode) return DISP_CHANGE_BADPARAM;
  constexpr DWORD size = DM_PELSWIDTH | DM_PELSHEIGHT;
  if (flags != 0 || (mode->dmFields & size) != size) return DISP_CHANGE_BADFLAGS;
  const DWORD refreshHz = (mode->dmFields & DM_DISPLAYFREQUENCY) ? mode->dmDisplayFrequency : 0;
  if (const wl::SessionOutputs wayland = wl::SessionDisplayService(); wayland.wayland) {
    // XWayland's RandR would change only what its own clients see: the compositor or nothing.
    if (!wayland.outputs) return DISP_CHANGE_FAILED;
    const DWORD bits = (mode->dmFields & DM_BITSPERPEL) ? mode->dmBitsPerPel : 0;
    return desk::ChangeOutputMode(*wayland.outputs,
                                  {static_cast<int>(mode->dmPelsWidth), static_cast<int>(mode->dmPelsHeight),
                                   static_cast<int>(refreshHz)},
                                  bits);
  }
  Display* display = x11::Connection();
  if (!display) return DISP_CHANGE_FAILED;
  if ((mode->dmFields & DM_BITSPERPEL) && mode->dmBitsPerPel > ScreenBitsPerPixel(display)) return DISP_CHANGE_BADMODE;

  const x11::ModeRequest request{mode->dmPelsWidth, mode->dmPelsHeight, refreshHz};
  const int randr = x11::RandrVersion(display);
  if (randr >= 102) return x11::SwitchModeByCrtc(display, request);
  if (randr > 0) return x11::SwitchModeByScreenConfig(display, request);
  // Without RandR the screen keeps the size the server started with.
  const x11::ScreenSize screen = x11::RootWindowSize(display);
  return request.Matches(static_cast<unsigned>(screen.width), static_cast<unsigned>(screen.height), 0)
             ? DISP_CHANGE_SUCCESSFUL
             : DISP_CHANGE_BADMODE;
}

}  // namespace plat
