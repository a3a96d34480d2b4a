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
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
      case WM_MOUSELEAVE:
        events->PeerMouse(msg, PointParamX(lParam), PointParamY(lParam), wParam);
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
