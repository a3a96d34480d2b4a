// The Windows shell's notification area under Wine (Wine's desktop draws its own tray): an icon
// added, changed, given a balloon and deleted through the real Shell_NotifyIconA. The linux
// backend's hosts are tested end to end with real tray programs (tests/e2e).
#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/messages.h"
#include "platform/shell.h"

namespace {

plat::LRESULT Quiet(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  return plat::DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(ShellNotifyIcon, AnIconIsAddedChangedAndDeletedThroughTheRealShell) {
  plat::HWND window = plat::CreateHiddenWindow("TavelinShellTest", "", &Quiet);
  ASSERT_NE(window, nullptr);
  plat::IconImage image{16, 16, std::vector<std::uint32_t>(256, 0xFF2060C0)};
  plat::HICON icon = plat::CreateIconFromImage(image);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(plat::CreateIconFromImage(plat::IconImage{4, 4, {1, 2}}), nullptr);

  plat::NOTIFYICONDATAA data{};
  data.cbSize = plat::NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = window;
  data.uID = 3;
  data.uFlags = plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP;
  data.uCallbackMessage = 1235;
  data.hIcon = icon;
  std::strcpy(data.szTip, "Tavelin");
  EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_ADD, &data));
  std::strcpy(data.szTip, "Tavelin, changed");
  EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data));
  data.uFlags = plat::NIF_INFO;
  data.dwInfoFlags = plat::NIIF_INFO;
  data.uTimeout = 3000;
  std::strcpy(data.szInfoTitle, "Quick Help");
  std::strcpy(data.szInfo, "Tavelin keeps your screen resolution.");
  EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data));
  EXPECT_TRUE(plat::Shell_NotifyIconA(plat::NIM_DELETE, &data));
  // Gone: a second delete and a change are refused.
  EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_DELETE, &data));
  EXPECT_FALSE(plat::Shell_NotifyIconA(plat::NIM_MODIFY, &data));

  plat::DestroyIcon(icon);
  plat::DestroyWindow(window);
}

TEST(ShellNotifyIcon, CursorKeysAndVersionAnswer) {
  plat::POINT pt{-1, -1};
  EXPECT_TRUE(plat::GetCursorPos(&pt));
  EXPECT_GE(pt.x, 0);
  EXPECT_GE(plat::GetKeyState(plat::VK_SHIFT), 0);  // nobody holds the key down
}

}  // namespace
#endif
