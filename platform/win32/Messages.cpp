// The message core on Windows: the real API. Our MSG has Windows' members but is our own
// record, so it is copied across; everything else passes through unchanged.
#include "platform/messages.h"
#include "platform/win32/ProcWindow.h"

#include <windows.h>

namespace plat {
namespace {

::MSG ToNative(const MSG& m) { return ::MSG{m.hwnd, m.message, m.wParam, m.lParam, m.time, {m.pt.x, m.pt.y}}; }

void FromNative(const ::MSG& n, MSG* m) {
  *m = MSG{n.hwnd, n.message, n.wParam, n.lParam, static_cast<DWORD>(n.time),
           {static_cast<LONG>(n.pt.x), static_cast<LONG>(n.pt.y)}};
}

}  // namespace

HWND CreateHiddenWindow(const char* className, const char* caption, WNDPROC proc) {
  // A top-level popup rather than a message-only window: broadcasts must reach it.
  return win32::CreateProcWindow({.className = className, .caption = caption, .style = WS_POPUP, .proc = proc});
}

BOOL DestroyWindow(HWND hwnd) { return ::DestroyWindow(hwnd); }
BOOL IsWindow(HWND hwnd) { return ::IsWindow(hwnd); }
BOOL IsWindowVisible(HWND hwnd) { return ::IsWindowVisible(hwnd); }
BOOL IsIconic(HWND hwnd) { return ::IsIconic(hwnd); }
BOOL ShowWindow(HWND hwnd, int cmd) { return ::ShowWindow(hwnd, cmd); }
BOOL SetWindowTextA(HWND hwnd, const char* text) { return ::SetWindowTextA(hwnd, text); }
HWND FindWindowA(const char* className, const char* caption) { return ::FindWindowA(className, caption); }

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) { return ::GetWindowLongPtrA(hwnd, index); }
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) { return ::SetWindowLongPtrA(hwnd, index, value); }

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(proc, hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

UINT RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(hwnd, msg, wParam, lParam);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(hwnd, msg, wParam, lParam);
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::PostThreadMessageA(threadId, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }
DWORD GetCurrentThreadId() { return ::GetCurrentThreadId(); }

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  ::MSG native{};
  const BOOL result = ::GetMessageA(&native, hwnd, filterMin, filterMax);
  if (result != -1) FromNative(native, msg);
  return result;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  ::MSG native{};
  const BOOL found = ::PeekMessageA(&native, hwnd, filterMin, filterMax, removeMsg);
  if (found) FromNative(native, msg);
  return found;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  const ::MSG native = ToNative(*msg);
  return ::DispatchMessageA(&native);
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg) return 0;
  const ::MSG native = ToNative(*msg);
  return ::TranslateMessage(&native);
}

BOOL WaitMessage() { return ::WaitMessage(); }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerFunc) {
  return ::SetTimer(hwnd, id, elapseMs, reinterpret_cast<TIMERPROC>(timerFunc));
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) { return ::KillTimer(hwnd, id); }

DWORD GetTickCount() { return ::GetTickCount(); }

}  // namespace plat
