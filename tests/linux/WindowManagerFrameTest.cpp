// A framed window under a window manager that draws frames (run with one; skipped without): the
// frame it reports reaches the form, and a window placed by it stands whole in the middle of
// the screen.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/messages.h"
#include "platform/peers.h"
#include "tests/linux/PumpUntil.h"
#include "tests/linux/XClient.h"

using namespace plat;
using namespace xtest;

namespace {

// Places its window as a form centred on the screen does, again whenever the frame changes.
class CentredForm final : public FormPeerEvents {
 public:
  void PeerCloseRequested() override {}
  void PeerActivated() override {}
  void PeerFrameChanged() override {
    ++frameChanges;
    Centre();
  }
  void Centre() {
    const RECT f = peer->FrameExtents();
    peer->SetBounds((GetSystemMetrics(SM_CXSCREEN) - (456 + f.left + f.right)) / 2,
                    (GetSystemMetrics(SM_CYSCREEN) - (304 + f.top + f.bottom)) / 2, 456, 304);
  }
  FormPeer* peer = nullptr;
  int frameChanges = 0;
};

TEST(WindowManagerFrame, TheReportedFrameCentresTheWholeWindow) {
  XClient x;
  ASSERT_TRUE(x.Connected());
  if (!x.WindowManagerRuns()) GTEST_SKIP() << "no window manager";
  HWND app = CreateApplicationWindow("Tavelin test", &DefWindowProcA);
  CentredForm events;
  auto form = CreateFormPeer(events, app, "about");
  events.peer = form.get();
  form->SetBorder(BorderStyle::ToolWindow, BorderIcons{false, false, false});
  form->SetCaption("Tavelin framed");
  events.Centre();
  form->Show();
  XWindow w = 0;
  ASSERT_TRUE(PumpUntil([&] {
    w = w ? w : x.Find("Tavelin framed");
    return w && x.GeometryOf(w).viewable && events.frameChanges > 0;
  }, 5000)) << "the window manager reported no frame";

  const RECT f = form->FrameExtents();
  EXPECT_GT(f.top, 0) << "a frame with a caption";
  const int outerWidth = 456 + f.left + f.right, outerHeight = 304 + f.top + f.bottom;
  const int wantX = (x.ScreenWidth() - outerWidth) / 2, wantY = (x.ScreenHeight() - outerHeight) / 2;
  Geometry frame;
  EXPECT_TRUE(PumpUntil([&] {
    frame = x.FrameOf(w);
    return frame.x == wantX && frame.y == wantY;
  }, 5000)) << "the frame stands at (" << frame.x << "," << frame.y << "), not (" << wantX << "," << wantY << ")";
  // The extents are the frame the screen shows around the client area.
  const Geometry client = x.GeometryOf(w);
  EXPECT_EQ(frame.width, outerWidth);
  EXPECT_EQ(frame.height, outerHeight);
  EXPECT_EQ(client.x - frame.x, f.left);
  EXPECT_EQ(client.y - frame.y, f.top);
  form.reset();
  DestroyWindow(app);
}

}  // namespace
