#pragma once
// The loop that goes on while the display-mode service waits for the desktop's answer. Where the
// desktop answers a mode change asynchronously (Wayland compositors), ChangeDisplaySettingsA runs
// this loop until the answer or its deadline, so timers, idle moments and tray commands go on.
namespace plat {

class ModalPump;

// The application registers its nested loop once it exists, and null when it goes away.
void SetDisplayWaitPump(ModalPump* pump);

}  // namespace plat
