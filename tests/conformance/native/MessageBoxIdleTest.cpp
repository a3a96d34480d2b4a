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

constexpr UINT_PTR kTick = 1;
constexpr UINT_PTR kSafety = 2;  // closes a box whose owner never hears of idle moments

struct OwnerLog {
  int idle = 0;
  LPARAM idleBox = 0;
  int ticks = 0;
  int posted = 0;
  bool boxFound = false;
  bool safetyFired = false;
  HWND box = nullptr;
};
OwnerLog* ownerLog = nullptr;

void CloseBox(HWND owner) {
  KillTimer(owner, kTick);
  KillTimer(owner, kSafety);
  // "#32770" is the dialog class every message box has.
  HWND box = FindWindowA("#32770", kBoxCaption);
  ownerLog->box = box;
  if (box) PostMessageA(box, kCommand, kOk, 0);
}

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!ownerLog) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_ENTERIDLE:
      // The ticks start at the first idle moment, so each of them comes after one.
      if (++ownerLog->idle == 1) {
        ownerLog->idleBox = lParam;
        SetTimer(hwnd, kTick, 50, nullptr);
      }
      return 0;
    case WM_USER + 1:
      ++ownerLog->posted;
      return 0;
    case WM_TIMER:
      if (wParam == kSafety) {
        ownerLog->safetyFired = true;
        CloseBox(hwnd);
      } else if (++ownerLog->ticks == 3) {
        CloseBox(hwnd);
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

class CountingPump : public ModalPump {
 public:
  bool HandleOneMessage() override {
    ++calls;
    MSG m;
    if (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&m);
    else
      WaitMessage();
    return true;
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
    ASSERT_NE(SetTimer(owner, kSafety, 10000, nullptr), 0u);

    CountingPump pump;
    RunMessageBox(owner, "The box closes itself on the third tick.", kBoxCaption, error, pump);

    EXPECT_FALSE(log.safetyFired) << "the owner heard of " << log.idle << " idle moments";
    ASSERT_NE(log.box, nullptr);
    EXPECT_EQ(log.ticks, 3);
    EXPECT_EQ(log.posted, 1);
    // One idle moment armed the ticks; the queue ran dry again after each handled one.
    EXPECT_GE(log.idle, 3);
    EXPECT_EQ(log.idleBox, reinterpret_cast<LPARAM>(log.box));
    EXPECT_EQ(pump.calls, 0) << "Windows' own modal loop runs the box";
    EXPECT_EQ(FindWindowA("#32770", kBoxCaption), nullptr);
    ownerLog = nullptr;
    DestroyWindow(owner);
  }
}

bool quitSafetyFired = false;

LRESULT QuittingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_TIMER) return DefWindowProcA(hwnd, msg, wParam, lParam);
  KillTimer(hwnd, wParam);
  if (wParam == kTick) {
    PostQuitMessage(5);
  } else if (HWND box = FindWindowA("#32770", kBoxCaption)) {
    quitSafetyFired = true;
    PostMessageA(box, kCommand, kOk, 0);
  }
  return 0;
}

// Terminating the application while a box is open closes the box, and the quit request still
// reaches the application's own loop afterwards.
TEST(NativeMessageBox, AQuitRequestClosesTheBoxAndStaysQueued) {
  HWND owner = CreateHiddenWindow("TavelinConformanceOwner", "quitting owner", &QuittingProc);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(SetTimer(owner, kTick, 200, nullptr), 0u);
  ASSERT_NE(SetTimer(owner, kSafety, 10000, nullptr), 0u);
  CountingPump pump;
  RunMessageBox(owner, "The application ends while this box is open.", kBoxCaption, false, pump);
  EXPECT_FALSE(quitSafetyFired);
  KillTimer(owner, kSafety);
  EXPECT_EQ(FindWindowA("#32770", kBoxCaption), nullptr);
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 5u);
  DestroyWindow(owner);
}

}  // namespace
#endif
