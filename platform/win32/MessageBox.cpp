// Modal message boxes: the native one, run by Windows' own modal loop. That loop keeps
// dispatching timers, posted window messages and sent messages, so the toolkit's pump is not
// needed here. It also sends WM_ENTERIDLE to the box's owner whenever the queue runs dry, which
// the toolkit's application window turns into its idle moments; but the box is created with
// DS_NOIDLEMSG, which silences exactly that. While our box is up, a hook clears the style once
// the box has been initialised, before its loop first finds the queue empty.
#include "platform/peers.h"

#include <windows.h>

#include <cstring>

namespace plat {
namespace {

thread_local HWND boxOwner = nullptr;

bool IsOurBox(::HWND hwnd) {
  char className[16] = {};
  GetClassNameA(hwnd, className, sizeof className);
  return std::strcmp(className, "#32770") == 0 && GetWindow(hwnd, GW_OWNER) == boxOwner;
}

LRESULT CALLBACK AfterWindowProc(int code, ::WPARAM wParam, ::LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && IsOurBox(call->hwnd)) {
    const LONG_PTR style = ::GetWindowLongPtrA(call->hwnd, GWL_STYLE);
    ::SetWindowLongPtrA(call->hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(DS_NOIDLEMSG));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Boxes nest (a timer may raise another one): each keeps its own hook and owner.
class IdleMessagesForOwner {
 public:
  explicit IdleMessagesForOwner(HWND owner)
      : previousOwner_(boxOwner),
        hook_(SetWindowsHookExA(WH_CALLWNDPROCRET, &AfterWindowProc, nullptr, ::GetCurrentThreadId())) {
    boxOwner = owner;
  }
  ~IdleMessagesForOwner() {
    if (hook_) UnhookWindowsHookEx(hook_);
    boxOwner = previousOwner_;
  }
  IdleMessagesForOwner(const IdleMessagesForOwner&) = delete;
  IdleMessagesForOwner& operator=(const IdleMessagesForOwner&) = delete;

 private:
  HWND previousOwner_;
  HHOOK hook_;
};

}  // namespace

void RunMessageBox(HWND owner, const std::string& text, const std::string& caption, bool error, ModalPump&) {
  IdleMessagesForOwner idle(owner);
  ::MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | (error ? MB_ICONERROR : 0));
}

}  // namespace plat
