// What every backend's form peer does with its window: shows and hides it, reports a close
// request without closing, takes the window with it when it goes, and paints only what is
// pending, when asked.
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

// Invalidate never paints; Update paints all that is pending in one paint, and nothing when
// nothing is.
TEST(FormPeer, UpdatePaintsThePendingAreaInOnePaint) {
  HWND app = CreateApplicationWindow("Tavelin conformance", &IgnoringProc);
  HWND ticker = CreateHiddenWindow("TavelinConformance", "ticker", &IgnoringProc);
  SetTimer(ticker, 1, 10, nullptr);  // the loop turns at least this often
  RecordingFormEvents events;
  auto peer = CreateFormPeer(events, app, "painted");
  peer->SetBorder(BorderStyle::None, BorderIcons{});
  peer->SetBounds(100, 120, 60, 40);
  peer->Show();
  // The first paint comes once the window is on the screen, and paints all of it.
  MSG m;
  for (int turn = 0; turn < 3000 && events.paints == 0; ++turn) {
    peer->Update();
    if (events.paints == 0 && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  }
  ASSERT_EQ(events.paints, 1) << "the window was never painted";
  EXPECT_EQ(events.lastDirty.right - events.lastDirty.left, 60);
  EXPECT_EQ(events.lastDirty.bottom - events.lastDirty.top, 40);

  peer->Update();
  EXPECT_EQ(events.paints, 1) << "nothing was pending";
  peer->Invalidate({10, 5, 20, 15});
  peer->Invalidate({30, 20, 35, 25});
  EXPECT_EQ(events.paints, 1) << "Invalidate painted";
  peer->Update();
  EXPECT_EQ(events.paints, 2);
  EXPECT_LE(events.lastDirty.left, 10);
  EXPECT_LE(events.lastDirty.top, 5);
  EXPECT_GE(events.lastDirty.right, 35);
  EXPECT_GE(events.lastDirty.bottom, 25);
  EXPECT_LT(events.lastDirty.right - events.lastDirty.left, 60) << "the whole window was painted again";

  peer.reset();
  KillTimer(ticker, 1);
  DestroyWindow(ticker);
  DestroyWindow(app);
}

}  // namespace
