#pragma once
// The message core: windows as message targets, posted and sent messages, registered message
// names, broadcasts, window timers and per-thread message queues, in the shape and with the
// semantics of the Windows API. win32 forwards to the real functions; linux and sim share one
// portable implementation that differs only in its clock and in how a waiting thread sleeps.
//
// Backend source files that include <windows.h> must include this header first: the constants
// below are macros there.
#include "platform/wintypes.h"

namespace plat {

// Messages the program uses.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_USER = 0x0400;

// Mouse messages' wParam bits and lParam packing (client x in the low word, y in the high word).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr LPARAM MakePointParam(int x, int y) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                             static_cast<std::uint16_t>(x));
}
constexpr int PointParamX(LPARAM p) { return static_cast<std::int16_t>(p & 0xFFFF); }
constexpr int PointParamY(LPARAM p) { return static_cast<std::int16_t>((p >> 16) & 0xFFFF); }
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE's wParam: the window lost activation (any other value: it gained it).
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

// WM_SIZE's wParam.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;

// PeekMessage options.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Window long indices.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;

// Extended window styles the program touches.
constexpr LONG_PTR WS_EX_TOOLWINDOW = 0x00000080;
constexpr LONG_PTR WS_EX_APPWINDOW = 0x00040000;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));

// A hidden top-level window whose window procedure is `proc`. `className` names it for
// FindWindow-style lookups; `caption` is its title. Returns null on failure.
HWND CreateHiddenWindow(const char* className, const char* caption, WNDPROC proc);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL SetWindowTextA(HWND hwnd, const char* text);
// The newest window with this class name and caption (either may be null: any), or null.
HWND FindWindowA(const char* className, const char* caption);

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Message names registered by two parts of the program give the same number, from 0xC000 on.
UINT RegisterWindowMessageA(const char* name);

// HWND_BROADCAST posts or sends to every top-level window. A null window posts to the calling
// thread's queue.
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
DWORD GetCurrentThreadId();

// Returns 0 for WM_QUIT, -1 on error, nonzero otherwise. A thread's queue exists from its first
// call to any of these (or to PeekMessage); posting to a thread without one fails.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL TranslateMessage(const MSG* msg);
// Sleeps until the calling thread's queue receives a message (or a timer falls due).
BOOL WaitMessage();

// Window timers: WM_TIMER is generated when the queue is otherwise empty and is never queued
// twice for one timer. Setting an existing (window, id) pair restarts it with the new interval.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerFunc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// The GUI thread blocked until another thread changes something it waits for (a worker it
// stops): returns after WakeBlockedGuiThread, at once when a wake came before the call. Messages
// are not dispatched meanwhile. In sim the virtual clock moves on to the next sound-device event
// instead, since nothing else could move it while the GUI thread waits.
void BlockGuiThread();
void WakeBlockedGuiThread();

// Milliseconds since some fixed moment, from the backend's clock (virtual in sim).
DWORD GetTickCount();

}  // namespace plat
