// Start-up of the Windows backend.
#include "platform/peers.h"

#include <windows.h>
#include <commctrl.h>

namespace plat {

void InitializeBackend() {
  // Version 6 of the common controls comes from the executable's manifest; this registers the
  // window classes of the controls the forms use (buttons, track bars, group boxes...).
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // No DPI awareness is declared, here or in the manifest: the windows are laid out for 96 dpi
  // and Windows scales the whole window on screens with other settings.
}

bool StartedMinimized() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  if (!(startup.dwFlags & STARTF_USESHOWWINDOW)) return false;
  switch (startup.wShowWindow) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return true;
    default:
      return false;
  }
}

}  // namespace plat
