#pragma once
// Notifications of native controls reach their form's window procedure; it hands them here.
#include "platform/wintypes.h"

namespace plat::win32 {

// WM_COMMAND from a control (BN_CLICKED, LBN_SELCHANGE, focus) and WM_HSCROLL from a track bar.
void ControlCommand(HWND control, unsigned code);
void ControlScrolled(HWND control);

}  // namespace plat::win32
