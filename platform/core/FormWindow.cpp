#include "platform/core/FormWindow.h"

#include "platform/messages.h"

namespace plat::core {
namespace {

LRESULT FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* events = reinterpret_cast<FormPeerEvents*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (events) {
    switch (msg) {
      case WM_CLOSE:
        events->PeerCloseRequested();
        return 0;
      case WM_ACTIVATE:
        if ((wParam & 0xFFFF) != WA_INACTIVE) events->PeerActivated();
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreateFormWindow(FormPeerEvents& events, WindowObserver& observer) {
  HWND hwnd = CreateCoreWindow("TForm", "", &FormProc);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&events));
  SetWindowObserver(hwnd, &observer);
  return hwnd;
}

}  // namespace plat::core
