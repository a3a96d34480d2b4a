#pragma once
// The simulated shell, as tests script and inspect it: the notification area's requests and
// icons, clicks on them, a restarting shell, the cursor, the keyboard, the foreground window, the
// platform version and the open popup menu.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/shell.h"
#include "platform/version.h"

namespace sim {

struct ShellRequest {
  plat::DWORD message = 0;         // NIM_ADD, NIM_MODIFY or NIM_DELETE
  plat::NOTIFYICONDATAA data{};    // the whole record as passed
  plat::IconImage icon;            // the image behind data.hIcon, when it named one
  bool accepted = false;
};

struct TrayIconRecord {
  plat::HWND window = nullptr;
  plat::UINT id = 0;
  plat::UINT callbackMessage = 0;
  std::string tip;
  plat::IconImage icon;
  bool hasIcon = false;
  std::string balloonTitle;  // of the last balloon
  std::string balloonText;
  plat::DWORD balloonFlags = 0;
  plat::UINT balloonTimeout = 0;
};

// Every request since Reset, in order.
std::vector<ShellRequest> ShellRequests();
void ClearShellRequests();
// The icons now in the notification area, in the order they were added.
std::vector<TrayIconRecord> TrayIcons();
std::optional<TrayIconRecord> FindTrayIcon(plat::HWND window, plat::UINT id);

// While false, every request fails as if the shell had no notification area.
void SetShellAvailable(bool available);
// The shell restarts: its icons are gone and "TaskbarCreated" is posted to every top-level
// window.
void RestartShell();

// Sends the icon's callback message with `code` (WM_LBUTTONDOWN, NIN_BALLOONSHOW...), the cursor
// first put at (x, y). False when no such icon is shown.
bool NotifyTrayIcon(plat::HWND window, plat::UINT id, plat::UINT code, int x = 0, int y = 0);
// The whole sequence of a click or a double click of the left button, as the shell sends it.
bool ClickTrayIcon(plat::HWND window, plat::UINT id, plat::UINT downCode, int x = 0, int y = 0);
bool DoubleClickTrayIcon(plat::HWND window, plat::UINT id, int x = 0, int y = 0);

void SetCursorPosition(int x, int y);
void SetKeyDown(int virtualKey, bool down);
// The window last brought to the foreground, or null.
plat::HWND ForegroundWindow();

// What GetVersionExA reports (default: the NT family, version 6.1).
void SetPlatformVersion(plat::DWORD platformId, plat::DWORD major);

// What GetModuleFileNameA reports (default: C:\Program Files\Tavelin\tavelin.exe).
void SetExecutablePath(const std::string& path);

struct MenuRecord {
  std::vector<plat::MenuItemSpec> items;
  int x = 0;
  int y = 0;
  bool open = false;
};

// Every popup menu opened since Reset, in order.
std::vector<MenuRecord> Menus();
// Picks the item with this caption in the open menu; false when there is no open menu or the
// item is missing, a separator or disabled.
bool PickMenuItem(const std::string& caption);
// Dismisses the open menu without a choice.
bool DismissMenu();
// Runs `action` once, as soon as a menu opens (the menu is open while it runs).
void OnMenuOpen(std::function<void()> action);

}  // namespace sim
