// The application window of a classic Windows GUI program: hidden, zero-sized in the middle of
// the screen, unowned and without WS_EX_TOOLWINDOW, so when shown it carries the task-bar button
// that the owned forms do not get.
#include "platform/peers.h"
#include "platform/win32/ProcWindow.h"

#include <windows.h>

namespace plat {

HWND CreateApplicationWindow(const std::string& title, WNDPROC proc) {
  return win32::CreateProcWindow({
      .className = "TApplication",
      .caption = title.c_str(),
      .style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
      .left = ::GetSystemMetrics(SM_CXSCREEN) / 2,
      .top = ::GetSystemMetrics(SM_CYSCREEN) / 2,
      .proc = proc,
  });
}

}  // namespace plat
