// The message core's behaviour, the same on every backend: sim's virtual clock, linux's GLib
// loop and the real Windows API (under Wine).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/messages.h"

using namespace plat;

namespace {

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  DWORD thread;
};

std::vector<Received>* journal = nullptr;

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (journal && msg >= WM_USER) journal->push_back({hwnd, msg, wParam, lParam, GetCurrentThreadId()});
  if (msg == WM_USER + 30) return static_cast<LRESULT>(wParam) + 100;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class MessageCore : public testing::Test {
 protected:
  void SetUp() override {
    journal = &received;
    DrainQueue();
  }
  void TearDown() override {
    for (HWND w : windows) DestroyWindow(w);
    DrainQueue();
    journal = nullptr;
  }

  HWND NewWindow(const char* caption, WNDPROC proc = &RecordingProc) {
    HWND w = CreateHiddenWindow("TavelinConformance", caption, proc);
    EXPECT_NE(w, nullptr);
    windows.push_back(w);
    return w;
  }

  static void DrainQueue() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }

  // Dispatches until a message satisfying `done` has been dispatched.
  template <typename Pred>
  static void PumpUntil(Pred done) {
    MSG m;
    for (int guard = 0; guard < 100000; ++guard) {
      ASSERT_GT(GetMessageA(&m, nullptr, 0, 0), 0);
      DispatchMessageA(&m);
      if (done(m)) return;
    }
    FAIL() << "the awaited message never came";
  }

  std::vector<Received> received;
  std::vector<HWND> windows;
};

TEST_F(MessageCore, PostedMessagesArriveInOrderAndRangesFilterThem) {
  HWND a = NewWindow("order-a");
  HWND b = NewWindow("order-b");
  ASSERT_TRUE(PostMessageA(a, WM_USER + 1, 1, 10));
  ASSERT_TRUE(PostMessageA(b, WM_USER + 2, 2, 20));
  ASSERT_TRUE(PostMessageA(a, WM_USER + 3, 3, 30));
  ASSERT_TRUE(PostMessageA(nullptr, WM_APP + 1, 4, 40));  // the thread's own queue

  MSG m;
  // A range picks the later message first; PM_NOREMOVE leaves it where it was.
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&m, a, WM_USER + 2, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 3u);
  EXPECT_EQ(m.hwnd, a);
  DispatchMessageA(&m);

  DrainQueue();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].msg, WM_USER + 3u);
  EXPECT_EQ(received[1].msg, WM_USER + 1u);
  EXPECT_EQ(received[1].lParam, 10);
  EXPECT_EQ(received[2].msg, WM_USER + 2u);
  EXPECT_EQ(received[2].hwnd, b);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));

  // SendMessage runs the window procedure at once, ahead of anything posted.
  PostMessageA(a, WM_USER + 5, 0, 0);
  SendMessageA(a, WM_USER + 6, 0, 0);
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[3].msg, WM_USER + 6u);
  DrainQueue();
  EXPECT_EQ(received.back().msg, WM_USER + 5u);
}

TEST_F(MessageCore, QuitEndsGetMessageAfterWhatWasPostedBefore) {
  HWND a = NewWindow("quit");
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostQuitMessage(7);
  MSG m;
  ASSERT_GT(GetMessageA(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, WM_USER + 1u);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 7u);
}

TEST_F(MessageCore, ATimerNeverQueuesTwiceAndKillTimerStopsIt) {
  HWND fast = NewWindow("timer-fast");
  HWND slow = NewWindow("timer-slow");
  ASSERT_NE(SetTimer(fast, 1, 20, nullptr), 0u);
  ASSERT_NE(SetTimer(slow, 2, 400, nullptr), 0u);

  // Wait for the slow timer only: the fast one falls due many times meanwhile.
  MSG m;
  ASSERT_GT(GetMessageA(&m, slow, WM_TIMER, WM_TIMER), 0);
  EXPECT_EQ(m.wParam, 2u);

  int fastTicks = 0;
  while (PeekMessageA(&m, fast, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    EXPECT_EQ(m.wParam, 1u);
    ++fastTicks;
  }
  EXPECT_EQ(fastTicks, 1);

  EXPECT_TRUE(KillTimer(fast, 1));
  EXPECT_FALSE(KillTimer(fast, 1));
  KillTimer(slow, 2);
  ASSERT_NE(SetTimer(slow, 3, 60, nullptr), 0u);
  ASSERT_GT(GetMessageA(&m, nullptr, WM_TIMER, WM_TIMER), 0);
  EXPECT_EQ(m.hwnd, slow);
  EXPECT_EQ(m.wParam, 3u);
  KillTimer(slow, 3);
}

TEST_F(MessageCore, ThreadQueuesExistFromTheFirstPeekAndCarryMessagesBothWays) {
  const DWORD mainThread = GetCurrentThreadId();
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);  // the main thread has a queue

  std::atomic<DWORD> workerId{0};
  std::atomic<bool> triedBeforeQueue{false};
  std::vector<WPARAM> workerGot;
  std::thread worker([&] {
    workerId = GetCurrentThreadId();
    // No message call here until the main thread has tried to post to this one.
    while (!triedBeforeQueue) std::this_thread::yield();
    MSG wm;
    PeekMessageA(&wm, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    PostThreadMessageA(mainThread, WM_APP + 1, 0, 0);  // "ready"
    while (GetMessageA(&wm, nullptr, 0, 0) > 0) workerGot.push_back(wm.wParam);
    PostThreadMessageA(mainThread, WM_APP + 2, wm.wParam, 0);  // "done", echoing the quit code
  });

  while (!workerId) std::this_thread::yield();
  // Before its first message call the worker has no queue, so posting to it fails. (Another
  // thread must try: on Windows a thread posting to itself gets its queue from that very call.)
  EXPECT_FALSE(PostThreadMessageA(workerId, WM_USER + 9, 0, 0));
  triedBeforeQueue = true;
  ASSERT_GT(GetMessageA(&m, nullptr, WM_APP + 1, WM_APP + 1), 0);
  EXPECT_EQ(m.hwnd, nullptr);
  for (WPARAM i = 1; i <= 3; ++i) ASSERT_TRUE(PostThreadMessageA(workerId, WM_USER + 1, i, 0));
  ASSERT_TRUE(PostThreadMessageA(workerId, WM_QUIT, 42, 0));
  ASSERT_GT(GetMessageA(&m, nullptr, WM_APP + 2, WM_APP + 2), 0);
  EXPECT_EQ(m.wParam, 42u);
  worker.join();
  EXPECT_EQ(workerGot, (std::vector<WPARAM>{1, 2, 3}));
}

TEST_F(MessageCore, AnotherThreadsSendAndPostReachAThreadWaitingForMessages) {
  HWND w = NewWindow("cross-thread");
  const DWORD mainThread = GetCurrentThreadId();
  // Several rounds, so the worker's messages come both before and while the main thread sleeps.
  for (WPARAM round = 0; round < 4; ++round) {
    received.clear();
    std::atomic<LRESULT> sendResult{0};
    std::thread worker([&] {
      // The window's own thread runs a sent message, inside its wait for messages.
      sendResult = SendMessageA(w, WM_USER + 30, round, 0);
      PostMessageA(w, WM_USER + 31, round, 0);
    });
    PumpUntil([](const MSG& m) { return m.message == WM_USER + 31; });
    worker.join();
    EXPECT_EQ(sendResult, static_cast<LRESULT>(round) + 100);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].msg, WM_USER + 30u);
    EXPECT_EQ(received[1].msg, WM_USER + 31u);
    for (auto& r : received) {
      EXPECT_EQ(r.wParam, round);
      EXPECT_EQ(r.thread, mainThread);
    }
  }
}

TEST_F(MessageCore, RegisteredNamesShareOneNumberFromC000) {
  const UINT a = RegisterWindowMessageA("TavelinConformanceMessage");
  const UINT b = RegisterWindowMessageA("TavelinConformanceMessage");
  const UINT c = RegisterWindowMessageA("TavelinConformanceOther");
  EXPECT_GE(a, 0xC000u);
  EXPECT_LE(a, 0xFFFFu);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(RegisterWindowMessageA("tavelinconformancemessage"), a);
}

WNDPROC previousProc = nullptr;
std::vector<std::string> chain;

LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 20) {
    chain.push_back("subclass");
    return 5 + CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
  }
  return CallWindowProcA(previousProc, hwnd, msg, wParam, lParam);
}

LRESULT BaseProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 20) {
    chain.push_back("base");
    return 100;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(MessageCore, AReplacedWindowProcedureChainsToThePreviousOne) {
  HWND w = NewWindow("subclass", &BaseProc);
  chain.clear();
  previousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC));
  ASSERT_NE(previousProc, nullptr);
  const LONG_PTR old = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(old), previousProc);

  EXPECT_EQ(SendMessageA(w, WM_USER + 20, 0, 0), 105);
  PostMessageA(w, WM_USER + 20, 0, 0);
  DrainQueue();
  EXPECT_EQ(chain, (std::vector<std::string>{"subclass", "base", "subclass", "base"}));

  SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
  EXPECT_EQ(SendMessageA(w, WM_USER + 20, 0, 0), 100);
}

TEST_F(MessageCore, ABroadcastReachesEveryTopLevelWindowHiddenOrNot) {
  const UINT msg = RegisterWindowMessageA("TavelinConformanceBroadcast");
  HWND a = NewWindow("broadcast-a");
  HWND b = NewWindow("broadcast-b");
  ShowWindow(b, SW_SHOW);
  received.clear();
  ASSERT_TRUE(PostMessageA(HWND_BROADCAST, msg, 3, 4));
  DrainQueue();
  int toA = 0, toB = 0;
  for (auto& r : received) {
    if (r.msg != msg) continue;
    EXPECT_EQ(r.wParam, 3u);
    toA += r.hwnd == a;
    toB += r.hwnd == b;
  }
  EXPECT_EQ(toA, 1);
  EXPECT_EQ(toB, 1);
}

TEST_F(MessageCore, DestroyedWindowsTakeTheirTimersAndMessagesWithThem) {
  HWND w = NewWindow("destroyed");
  SetTimer(w, 1, 10, nullptr);
  PostMessageA(w, WM_USER + 1, 0, 0);
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(DestroyWindow(w));
  windows.clear();
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(PostMessageA(w, WM_USER + 2, 0, 0));
  DrainQueue();
  EXPECT_TRUE(received.empty());
}

}  // namespace
