// Modal message boxes: the native one.
#include "platform/peers.h"

#include <windows.h>

namespace plat {

// Windows' own modal loop keeps dispatching timers, posted window messages and sent messages,
// and sends WM_ENTERIDLE to the owner whenever the queue runs dry; the toolkit's application
// window turns that into its idle moments. So the toolkit's pump is not needed here.
void RunMessageBox(HWND owner, const std::string& text, const std::string& caption, bool error, ModalPump&) {
  ::MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | (error ? MB_ICONERROR : 0));
}

}  // namespace plat
