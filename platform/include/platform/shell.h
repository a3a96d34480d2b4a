#pragma once
// The shell's notification area in Windows terms: Shell_NotifyIconA with its record, the callback
// message's codes, balloon tips and the "TaskbarCreated" broadcast, plus the cursor, key state
// and foreground window that a tray icon's handlers look at. win32 forwards to the real shell;
// linux maps the requests onto a StatusNotifierItem or an XEmbed tray icon and desktop
// notifications; sim records them and lets tests click.
//
// Backend source files that include <windows.h> must include this header first: the constants
// below are macros there.
#include <cstddef>

#include "platform/messages.h"
#include "platform/peers.h"
#include "platform/wintypes.h"

struct HICON__;

namespace plat {

using HICON = HICON__*;

// A native icon made from an ARGB image; null for an empty image or when the system has no room
// for another. Destroy it with DestroyIcon.
HICON CreateIconFromImage(const IconImage& image);
BOOL DestroyIcon(HICON icon);

struct GUID_ {
  DWORD data1;
  WORD data2;
  WORD data3;
  BYTE data4[8];
};

// The layout of the Windows record for this build's pointer size.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  char szInfo[256];
  UINT uTimeout;  // shares its place with uVersion
  char szInfoTitle[64];
  DWORD dwInfoFlags;
  GUID_ guidItem;
  HICON hBalloonIcon;
};

// The old record (a 64-character tip, no balloon) and the one with balloon tips.
constexpr DWORD NOTIFYICONDATAA_V1_SIZE = offsetof(NOTIFYICONDATAA, szTip) + 64;
constexpr DWORD NOTIFYICONDATAA_V2_SIZE = offsetof(NOTIFYICONDATAA, guidItem);

// Requests.
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

// Which members of the record are valid.
constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;
constexpr UINT NIF_INFO = 0x10;

// Balloon icons.
constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;

// Codes of the callback message's lParam beyond the mouse messages.
constexpr UINT NIN_BALLOONSHOW = 0x0402;
constexpr UINT NIN_BALLOONHIDE = 0x0403;
constexpr UINT NIN_BALLOONTIMEOUT = 0x0404;
constexpr UINT NIN_BALLOONUSERCLICK = 0x0405;

// The callback's codes are the mouse messages of messages.h and these.
constexpr UINT WM_CONTEXTMENU = 0x007B;

// Asked of every top-level window before the session ends; nonzero lets it end.
constexpr UINT WM_QUERYENDSESSION = 0x0011;

// Virtual keys whose state GetKeyState reports (the high bit: held down).
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;

// Returns FALSE when the shell refuses: no notification area, an icon added twice, one modified
// or deleted that is not there.
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);

BOOL GetCursorPos(POINT* point);
short GetKeyState(int virtualKey);
BOOL SetForegroundWindow(HWND hwnd);

}  // namespace plat
