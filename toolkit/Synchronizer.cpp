#include "toolkit/Synchronizer.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>

#include "platform/messages.h"

namespace tk::Synchronizer {
namespace {

struct PendingCall {
  std::function<void()> call;
  std::exception_ptr error;
  bool done = false;
  bool queued = false;  // nobody waits: it goes once it has run
};

struct State {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<PendingCall*> waiting;
  plat::DWORD guiThread = 0;
  plat::HWND wakeTarget = nullptr;
  plat::UINT wakeMessage = 0;
};

State& S() {
  static State* state = new State;  // worker threads may outlive static destruction order
  return *state;
}

}  // namespace

void SetGuiThread(plat::HWND wakeTarget, plat::UINT wakeMessage) {
  std::lock_guard g(S().lock);
  S().guiThread = plat::GetCurrentThreadId();
  S().wakeTarget = wakeTarget;
  S().wakeMessage = wakeMessage;
}

bool OnGuiThread() {
  std::lock_guard g(S().lock);
  return S().guiThread == plat::GetCurrentThreadId();
}

void Call(const std::function<void()>& call) {
  if (OnGuiThread()) {
    call();
    return;
  }
  PendingCall pending;
  pending.call = call;
  std::unique_lock held(S().lock);
  S().waiting.push_back(&pending);
  S().changed.notify_all();
  plat::HWND target = S().wakeTarget;
  plat::UINT message = S().wakeMessage;
  held.unlock();
  plat::PostMessageA(target, message, 0, 0);
  plat::WakeBlockedGuiThread();
  held.lock();
  S().changed.wait(held, [&] { return pending.done; });
  if (pending.error) std::rethrow_exception(pending.error);
}

void Queue(std::function<void()> call) {
  auto* pending = new PendingCall;
  pending->call = std::move(call);
  pending->queued = true;
  std::unique_lock held(S().lock);
  S().waiting.push_back(pending);
  plat::HWND target = S().wakeTarget;
  plat::UINT message = S().wakeMessage;
  held.unlock();
  plat::PostMessageA(target, message, 0, 0);
  plat::WakeBlockedGuiThread();
}

bool CheckSynchronize() {
  bool ranAny = false;
  for (;;) {
    PendingCall* next;
    {
      std::lock_guard g(S().lock);
      if (S().waiting.empty()) return ranAny;
      next = S().waiting.front();
      S().waiting.pop_front();
    }
    try {
      next->call();
    } catch (...) {
      next->error = std::current_exception();
    }
    ranAny = true;
    if (next->queued) {
      delete next;
      continue;
    }
    std::lock_guard g(S().lock);
    next->done = true;
    S().changed.notify_all();
  }
}

void WaitOnGuiThread(const std::function<bool()>& finished) {
  // Blocks through the platform, so that the sim's clock can move the devices a worker waits on.
  for (;;) {
    CheckSynchronize();
    if (finished()) return;
    plat::BlockGuiThread();
  }
}

void NotifyStateChanged() {
  plat::WakeBlockedGuiThread();
}

}  // namespace tk::Synchronizer
