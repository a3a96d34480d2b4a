// Form peers and message boxes on the native backends (a real X server, or Windows under Wine):
// the window behind a form is a message target of the message core, its close button asks the
// form instead of destroying the window, and a message box gives way when the program ends.
#include <gtest/gtest.h>

#include <memory>

#include "platform/messages.h"
#include "platform/peers.h"

using namespace plat;

namespace {

class RecordingEvents final : public FormPeerEvents {
 public:
  void PeerCloseRequested() override { ++closeRequests; }
  void PeerActivated() override {}
  int closeRequests = 0;
};

void DrainQueue() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

TEST(FormPeer, IsAMessageTargetThatAsksTheFormBeforeClosing) {
  HWND app = CreateApplicationWindow("Tavelin conformance", &DefWindowProcA);
  ASSERT_NE(app, nullptr);
  RecordingEvents events;
  auto peer = CreateFormPeer(events, app, "conformanceForm");
  const HWND form = peer->Handle();
  ASSERT_TRUE(IsWindow(form));

  peer->SetBorder(BorderStyle::None, BorderIcons{});
  peer->SetBounds(100, 80, 200, 60);
  peer->SetColor(RGB(255, 255, 255));
  peer->SetTransparentColor(RGB(255, 255, 255));
  peer->SetCaption("Tavelin conformance form");
  EXPECT_EQ(FindWindowA(nullptr, "Tavelin conformance form"), form);
  EXPECT_FALSE(peer->Visible());

  peer->Show();
  EXPECT_TRUE(peer->Visible());
  EXPECT_TRUE(IsWindowVisible(form));

  // What the title bar's close button sends: the form is asked, the window stays.
  ASSERT_TRUE(PostMessageA(form, WM_CLOSE, 0, 0));
  DrainQueue();
  EXPECT_EQ(events.closeRequests, 1);
  EXPECT_TRUE(IsWindow(form));
  EXPECT_TRUE(peer->Visible());

  peer->Hide();
  EXPECT_FALSE(peer->Visible());
  EXPECT_FALSE(IsWindowVisible(form));

  peer.reset();
  EXPECT_FALSE(IsWindow(form));
  DrainQueue();
  EXPECT_EQ(events.closeRequests, 1);
  DestroyWindow(app);
}

// Stands in for the toolkit's nested loop: handles what is queued, and reports termination on
// its `endAfter`-th call.
class CountingPump final : public ModalPump {
 public:
  explicit CountingPump(int endAfter) : endAfter_(endAfter) {}
  bool HandleOneMessage() override {
    DrainQueue();
    return ++calls < endAfter_;
  }
  int calls = 0;

 private:
  int endAfter_;
};

TEST(MessageBox, ClosesWhenTheApplicationTerminates) {
  HWND app = CreateApplicationWindow("Tavelin conformance", &DefWindowProcA);
  CountingPump pump(3);
  RunMessageBox(app, "The box runs the program's loop until it is told to stop.", "Tavelin conformance", false, pump);
  EXPECT_EQ(pump.calls, 3);

  CountingPump errorPump(1);
  RunMessageBox(app, "An error box behaves the same.", "Tavelin conformance", true, errorPump);
  EXPECT_EQ(errorPump.calls, 1);
  DestroyWindow(app);
}

}  // namespace
