#pragma once
// The message-core window behind a form peer of the linux and sim backends. As a native form's
// window procedure does, it turns WM_CLOSE (the title bar's close button) into a close request and
// WM_ACTIVATE into an activation, so the native events reach the form through the message loop.
#include "platform/core/CoreWindows.h"
#include "platform/peers.h"

namespace plat::core {

// `observer` learns of ShowWindow calls. Destroy the window with DestroyWindow before `events`
// or `observer` goes away.
HWND CreateFormWindow(FormPeerEvents& events, WindowObserver& observer);

}  // namespace plat::core
