// What every backend's form peer does with its window: shows and hides it, reports a close
// request without closing, and takes the window with it when it goes.
#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/peers.h"
#include "tests/support/RecordingFormEvents.h"

using namespace plat;

namespace {

LRESULT IgnoringProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(FormPeer, ShowsHidesAndLeavesClosingToTheForm) {
  HWND app = CreateApplicationWindow("Tavelin conformance", &IgnoringProc);
  ASSERT_NE(app, nullptr);
  RecordingFormEvents events;
  auto peer = CreateFormPeer(events, app, "conformance");
  const HWND hwnd = peer->Handle();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(peer->Visible());

  peer->SetBorder(BorderStyle::None, BorderIcons{});
  peer->SetBounds(100, 120, 258, 81);
  peer->SetColor(RGB(255, 255, 255));
  peer->SetTransparentColor(RGB(255, 255, 255));
  peer->Show();
  EXPECT_TRUE(peer->Visible());
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_FALSE(IsWindowVisible(app));

  // The title bar's close button asks; the form decides, so the window stays.
  SendMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(events.closeRequests, 1);
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_TRUE(peer->Visible());

  peer->Hide();
  EXPECT_FALSE(peer->Visible());
  EXPECT_FALSE(IsWindowVisible(hwnd));

  peer.reset();
  EXPECT_FALSE(IsWindow(hwnd));
  DestroyWindow(app);
}

}  // namespace
