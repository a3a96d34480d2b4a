// The application window of the linux and sim backends: a hidden message-core window. Nothing on
// the screen shows it; it carries the title, the hooks and the application's messages.
#include "platform/core/CoreWindows.h"
#include "platform/peers.h"

namespace plat {

HWND CreateApplicationWindow(const std::string& title, WNDPROC proc) {
  return core::CreateCoreWindow("TApplication", title.c_str(), proc);
}

}  // namespace plat
