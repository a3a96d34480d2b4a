// The simulated shell: a notification area that keeps its icons as Windows' does (one per window
// and identifier; adding twice, or changing one that is not there, fails), and the cursor,
// keyboard, foreground window and platform version that tests script.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/core/IconHandles.h"
#include "platform/messages.h"
#include "platform/module.h"
#include "platform/shared/NotifyIconRecord.h"
#include "platform/sim/SimShellState.h"
#include "platform/sim_shell.h"

namespace sim::detail {

ShellState& TheShell() {
  static ShellState* shell = new ShellState;  // outlives static destructors of other units
  return *shell;
}

void ResetShell() {
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  static_cast<ShellData&>(s) = ShellData{};
}

}  // namespace sim::detail

namespace {

using sim::detail::TheShell;

using plat::shared::FieldText;

void Apply(sim::TrayIconRecord& icon, const plat::NOTIFYICONDATAA& data) {
  if (data.uFlags & plat::NIF_MESSAGE) icon.callbackMessage = data.uCallbackMessage;
  if (data.uFlags & plat::NIF_TIP) icon.tip = plat::shared::TipOf(data);
  if (data.uFlags & plat::NIF_ICON) {
    auto image = plat::core::IconImageOf(data.hIcon);
    icon.hasIcon = image.has_value();
    icon.icon = image.value_or(plat::IconImage{});
  }
  if (plat::shared::HasBalloon(data)) {
    icon.balloonText = FieldText(data.szInfo, sizeof data.szInfo);
    icon.balloonTitle = FieldText(data.szInfoTitle, sizeof data.szInfoTitle);
    icon.balloonFlags = data.dwInfoFlags;
    icon.balloonTimeout = data.uTimeout;
  }
}

bool Handle(sim::detail::ShellState& s, plat::DWORD message, const plat::NOTIFYICONDATAA& data) {
  if (!s.available) return false;
  if (data.cbSize < plat::NOTIFYICONDATAA_V1_SIZE) return false;
  auto it = std::find_if(s.icons.begin(), s.icons.end(),
                         [&](const sim::TrayIconRecord& r) { return r.window == data.hWnd && r.id == data.uID; });
  switch (message) {
    case plat::NIM_ADD: {
      if (it != s.icons.end() || !plat::IsWindow(data.hWnd)) return false;
      sim::TrayIconRecord icon;
      icon.window = data.hWnd;
      icon.id = data.uID;
      Apply(icon, data);
      s.icons.push_back(icon);
      return true;
    }
    case plat::NIM_MODIFY:
      if (it == s.icons.end()) return false;
      Apply(*it, data);
      return true;
    case plat::NIM_DELETE:
      if (it == s.icons.end()) return false;
      s.icons.erase(it);
      return true;
    default:
      return false;
  }
}

}  // namespace

namespace plat {

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  if (!data) return 0;
  sim::ShellRequest request;
  request.message = message;
  request.data = *data;
  if (data->uFlags & NIF_ICON) request.icon = core::IconImageOf(data->hIcon).value_or(IconImage{});
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  request.accepted = Handle(s, message, *data);
  s.requests.push_back(request);
  return request.accepted ? 1 : 0;
}

BOOL GetCursorPos(POINT* point) {
  if (!point) return 0;
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  *point = s.cursor;
  return 1;
}

short GetKeyState(int virtualKey) {
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  return s.keysDown.count(virtualKey) ? static_cast<short>(0x8000) : 0;
}

BOOL SetForegroundWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return 0;
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  s.foreground = hwnd;
  return 1;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  *info = OSVERSIONINFOA{sizeof(OSVERSIONINFOA), s.major, 1, 7601, s.platformId, {}};
  return 1;
}

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  if (module || !buffer || size == 0) return 0;
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  const auto n = std::min<std::size_t>(s.executable.size(), size - 1);
  std::memcpy(buffer, s.executable.data(), n);
  buffer[n] = 0;
  return n < s.executable.size() ? size : static_cast<DWORD>(n);
}

}  // namespace plat

namespace sim {

void SetExecutablePath(const std::string& path) {
  std::lock_guard g(TheShell().lock);
  TheShell().executable = path;
}


std::vector<ShellRequest> ShellRequests() {
  std::lock_guard g(TheShell().lock);
  return TheShell().requests;
}

void ClearShellRequests() {
  std::lock_guard g(TheShell().lock);
  TheShell().requests.clear();
}

std::vector<TrayIconRecord> TrayIcons() {
  std::lock_guard g(TheShell().lock);
  return TheShell().icons;
}

std::optional<TrayIconRecord> FindTrayIcon(plat::HWND window, plat::UINT id) {
  for (auto& icon : TrayIcons())
    if (icon.window == window && icon.id == id) return icon;
  return std::nullopt;
}

void SetShellAvailable(bool available) {
  std::lock_guard g(TheShell().lock);
  TheShell().available = available;
}

void RestartShell() {
  {
    std::lock_guard g(TheShell().lock);
    TheShell().icons.clear();
  }
  plat::PostMessageA(plat::HWND_BROADCAST, plat::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

bool NotifyTrayIcon(plat::HWND window, plat::UINT id, plat::UINT code, int x, int y) {
  auto icon = FindTrayIcon(window, id);
  if (!icon) return false;
  SetCursorPosition(x, y);
  plat::SendMessageA(window, icon->callbackMessage, id, static_cast<plat::LPARAM>(code));
  return true;
}

bool ClickTrayIcon(plat::HWND window, plat::UINT id, plat::UINT downCode, int x, int y) {
  return NotifyTrayIcon(window, id, downCode, x, y) && NotifyTrayIcon(window, id, downCode + 1, x, y);
}

bool DoubleClickTrayIcon(plat::HWND window, plat::UINT id, int x, int y) {
  // The shell's order: the first click whole, then the double click in place of the second
  // press, then the second release.
  return ClickTrayIcon(window, id, plat::WM_LBUTTONDOWN, x, y) &&
         NotifyTrayIcon(window, id, plat::WM_LBUTTONDBLCLK, x, y) &&
         NotifyTrayIcon(window, id, plat::WM_LBUTTONUP, x, y);
}

void SetCursorPosition(int x, int y) {
  std::lock_guard g(TheShell().lock);
  TheShell().cursor = {x, y};
}

void SetKeyDown(int virtualKey, bool down) {
  std::lock_guard g(TheShell().lock);
  if (down)
    TheShell().keysDown.insert(virtualKey);
  else
    TheShell().keysDown.erase(virtualKey);
}

plat::HWND ForegroundWindow() {
  std::lock_guard g(TheShell().lock);
  return TheShell().foreground;
}

void SetPlatformVersion(plat::DWORD platformId, plat::DWORD major) {
  std::lock_guard g(TheShell().lock);
  TheShell().platformId = platformId;
  TheShell().major = major;
}

}  // namespace sim
