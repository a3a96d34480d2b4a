// The native message box's modal loop under the toolkit's feet. On Windows the toolkit does not
// run the box's loop: Windows does, and tells the owner of its idle moments with WM_ENTERIDLE.
// The Linux backend drives the toolkit's own pump instead, so this case is Windows-only.
#ifdef _WIN32
#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/peers.h"

using namespace plat;

namespace {

constexpr UINT kCommand = 0x0111;  // WM_COMMAND
constexpr WPARAM kOk = 1;          // IDOK, as the OK button sends it
constexpr char kBoxCaption[] = "Tavelin conformance box";

struct OwnerLog {
  int idle = 0;
  int ticks = 0;
  int posted = 0;
  int idleBeforeFirstTick = 0;
  bool boxFound = false;
};
OwnerLog* ownerLog = nullptr;

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!ownerLog) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_ENTERIDLE:
      ++ownerLog->idle;
      return 0;
    case WM_USER + 1:
      ++ownerLog->posted;
      return 0;
    case WM_TIMER:
      if (++ownerLog->ticks == 1) ownerLog->idleBeforeFirstTick = ownerLog->idle;
      if (ownerLog->ticks == 3) {
        KillTimer(hwnd, 1);
        // "#32770" is the dialog class every message box has.
        HWND box = FindWindowA("#32770", kBoxCaption);
        ownerLog->boxFound = box != nullptr;
        if (box) PostMessageA(box, kCommand, kOk, 0);
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

class CountingPump : public ModalPump {
 public:
  void HandleOneMessage() override {
    ++calls;
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&m);
    else
      WaitMessage();
  }
  int calls = 0;
};

TEST(NativeMessageBox, TimersAndPostedMessagesRunAndTheOwnerHearsOfIdleWhileTheBoxIsOpen) {
  for (bool error : {false, true}) {
    SCOPED_TRACE(error ? "error box" : "plain box");
    OwnerLog log;
    ownerLog = &log;
    HWND owner = CreateHiddenWindow("TavelinConformanceOwner", "box owner", &OwnerProc);
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(PostMessageA(owner, WM_USER + 1, 0, 0));
    ASSERT_NE(SetTimer(owner, 1, 100, nullptr), 0u);

    CountingPump pump;
    RunMessageBox(owner, "The box closes itself on the third tick.", kBoxCaption, error, pump);

    EXPECT_TRUE(log.boxFound);
    EXPECT_EQ(log.ticks, 3);
    EXPECT_EQ(log.posted, 1);
    // The queue runs dry before the first tick and again after each handled one.
    EXPECT_GE(log.idleBeforeFirstTick, 1);
    EXPECT_GE(log.idle, 3);
    EXPECT_EQ(pump.calls, 0) << "Windows' own modal loop runs the box";
    EXPECT_EQ(FindWindowA("#32770", kBoxCaption), nullptr);
    ownerLog = nullptr;
    DestroyWindow(owner);
  }
}

}  // namespace
#endif
