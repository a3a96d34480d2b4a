// The Windows form peer as Windows itself reports it: frame, client size, owner, layered colour
// key, font, icon and background. Only Windows can be asked these questions, so this file is
// Windows-only; the shared behaviour of every backend's peer is checked under conformance/all.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <array>

#include "platform/messages.h"
#include "platform/peers.h"
#include "tests/support/RecordingFormEvents.h"

#include <windows.h>

namespace {

LRESULT IgnoringProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Win32FormPeer : public testing::Test {
 protected:
  void SetUp() override {
    app = plat::CreateApplicationWindow("Tavelin conformance", &IgnoringProc);
    ASSERT_NE(app, nullptr);
    peer = plat::CreateFormPeer(events, app, "main");
    hwnd = peer->Handle();
    ASSERT_NE(hwnd, nullptr);
  }
  void TearDown() override {
    peer.reset();
    DestroyWindow(app);
  }

  static SIZE ClientSize(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
  }
  static POINT OuterTopLeft(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {r.left, r.top};
  }
  LONG_PTR Style() const { return GetWindowLongPtrA(hwnd, GWL_STYLE); }
  LONG_PTR ExStyle() const { return GetWindowLongPtrA(hwnd, GWL_EXSTYLE); }

  RecordingFormEvents events;
  HWND app = nullptr;
  std::unique_ptr<plat::FormPeer> peer;
  HWND hwnd = nullptr;
};

TEST_F(Win32FormPeer, TheApplicationWindowOwnsTheFormsAndStaysHidden) {
  char name[64] = {};
  GetClassNameA(app, name, sizeof name);
  EXPECT_STREQ(name, "TApplication");
  GetWindowTextA(app, name, sizeof name);
  EXPECT_STREQ(name, "Tavelin conformance");
  EXPECT_FALSE(IsWindowVisible(app));
  EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);
  // Without WS_EX_TOOLWINDOW it is the one that gets a task-bar button when shown.
  EXPECT_EQ(GetWindowLongPtrA(app, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), app);
  GetClassNameA(hwnd, name, sizeof name);
  EXPECT_STREQ(name, "Tmain");

  // Owned windows go with their owner; the peer outlives its window harmlessly.
  peer->Show();
  DestroyWindow(app);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(peer->Handle(), nullptr);
  EXPECT_FALSE(peer->Visible());
  peer->SetBounds(1, 2, 3, 4);
  peer->Show();
}

TEST_F(Win32FormPeer, EveryBorderKeepsTheOuterCornerAndTheClientSize) {
  peer->SetBounds(383, 343, 258, 81);
  peer->SetBorder(plat::BorderStyle::None, plat::BorderIcons{});
  peer->Show();
  EXPECT_EQ(Style() & (WS_POPUP | WS_CAPTION), WS_POPUP);
  EXPECT_EQ(ClientSize(hwnd).cx, 258);
  EXPECT_EQ(ClientSize(hwnd).cy, 81);
  EXPECT_EQ(OuterTopLeft(hwnd).x, 383);
  EXPECT_EQ(OuterTopLeft(hwnd).y, 343);
  EXPECT_GE(events.activations, 1);

  peer->SetBorder(plat::BorderStyle::Single, plat::BorderIcons{true, false, true});
  EXPECT_EQ(Style() & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
            WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(ClientSize(hwnd).cx, 258);
  EXPECT_EQ(ClientSize(hwnd).cy, 81);
  EXPECT_EQ(OuterTopLeft(hwnd).x, 383);
  EXPECT_EQ(OuterTopLeft(hwnd).y, 343);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  const LONG singleHeight = outer.bottom - outer.top;
  EXPECT_GT(singleHeight, 81);

  peer->SetBorder(plat::BorderStyle::ToolWindow, plat::BorderIcons{});
  EXPECT_NE(ExStyle() & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(Style() & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_EQ(ClientSize(hwnd).cx, 258);
  EXPECT_EQ(ClientSize(hwnd).cy, 81);
  GetWindowRect(hwnd, &outer);
  EXPECT_LT(outer.bottom - outer.top, singleHeight) << "a tool window's caption is the smaller one";

  peer->SetBounds(10, 20, 300, 200);
  EXPECT_EQ(ClientSize(hwnd).cx, 300);
  EXPECT_EQ(ClientSize(hwnd).cy, 200);
  EXPECT_EQ(OuterTopLeft(hwnd).x, 10);
  EXPECT_EQ(OuterTopLeft(hwnd).y, 20);

  // The frame the peer reports is the one around the client area on the screen (what a form
  // centred with its frame relies on).
  const plat::RECT frame = peer->FrameExtents();
  POINT client{0, 0};
  ClientToScreen(hwnd, &client);
  GetWindowRect(hwnd, &outer);
  EXPECT_EQ(frame.left, client.x - outer.left);
  EXPECT_EQ(frame.top, client.y - outer.top);
  EXPECT_EQ(frame.right, outer.right - client.x - 300);
  EXPECT_EQ(frame.bottom, outer.bottom - client.y - 200);
  EXPECT_GT(frame.top, frame.bottom) << "the caption is part of the frame";
}

TEST_F(Win32FormPeer, ColourKeyFontIconAndBackgroundReachTheWindow) {
  peer->SetTransparentColor(RGB(255, 255, 255));
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, nullptr, &flags));
  EXPECT_EQ(key, RGB(255, 255, 255));
  EXPECT_EQ(flags & LWA_COLORKEY, static_cast<DWORD>(LWA_COLORKEY));
  // Changing the border keeps the key.
  peer->SetBorder(plat::BorderStyle::None, plat::BorderIcons{});
  EXPECT_NE(ExStyle() & WS_EX_LAYERED, 0);
  peer->SetTransparentColor(std::nullopt);
  EXPECT_EQ(ExStyle() & WS_EX_LAYERED, 0);

  peer->SetFont(plat::FontSpec{"Verdana", 11, RGB(0x31, 0x49, 0x8A)});
  auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA logFont{};
  ASSERT_EQ(GetObjectA(font, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
  EXPECT_EQ(logFont.lfHeight, -11);
  EXPECT_STREQ(logFont.lfFaceName, "Verdana");

  plat::IconImage image{16, 16, std::vector<std::uint32_t>(16 * 16, 0xFF3076A9u)};
  peer->SetIcon(image);
  auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap{};
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 16);
  EXPECT_EQ(bitmap.bmHeight, 16);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  peer->SetIcon(plat::IconImage{});
  EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), 0);

  // What the form paints, for the whole client area (off screen and in one copy), drawn into a
  // bitmap of our own.
  peer->SetBounds(0, 0, 40, 30);
  events.fill = RGB(0x12, 0x34, 0x56);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 40, 30);
  HGDIOBJ previous = SelectObject(memory, target);
  EXPECT_NE(SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 0);  // nothing to erase first
  SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  EXPECT_EQ(GetPixel(memory, 20, 15), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ((std::array{events.lastDirty.left, events.lastDirty.top, events.lastDirty.right, events.lastDirty.bottom}),
            (std::array<plat::LONG, 4>{0, 0, 40, 30}));
  SelectObject(memory, previous);
  DeleteObject(target);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

}  // namespace
#endif
