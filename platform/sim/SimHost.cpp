// The sim backend's clock and sleeping: the GUI thread never waits in real time for a timer or a
// scripted action; the clock jumps there. It waits for real only for other threads' messages.
#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/core/MessageHost.h"
#include "platform/messages.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimShellState.h"
#include "platform/sim_config.h"

namespace sim::detail {

Desktop& TheDesktop() {
  static Desktop* desktop = new Desktop;  // outlives static destructors of other units
  return *desktop;
}

namespace {

// How long the GUI thread waits for another thread's message before the test is told that
// nothing can wake it (a scripting mistake, not a virtual delay).
constexpr auto kStallLimit = std::chrono::seconds(10);

class SimHost final : public plat::core::MessageHost {
 public:
  std::uint64_t NowMs() override {
    std::lock_guard g(TheDesktop().lock);
    return TheDesktop().now;
  }

  bool OwnsThread(plat::DWORD threadId) override {
    std::lock_guard g(TheDesktop().lock);
    return threadId == TheDesktop().guiThread;
  }

  void Sleep(std::optional<std::uint64_t> deadlineMs) override {
    auto& d = TheDesktop();
    // Time stands still while a worker handles what it was sent (a device's buffer, say).
    const bool othersBusy = plat::core::OtherThreadsBusy();
    std::unique_lock held(d.lock);
    if (d.wakePending) {
      d.wakePending = false;
      return;
    }
    if (othersBusy) {
      if (!d.woken.wait_for(held, kStallLimit, [&] { return d.wakePending; }))
        throw std::runtime_error("sim: a worker thread never went back to waiting for messages");
      d.wakePending = false;
      return;
    }
    auto next = std::min_element(d.script.begin(), d.script.end(), [](const auto& a, const auto& b) {
      return a.when != b.when ? a.when < b.when : a.order < b.order;
    });
    if (next != d.script.end() && (!deadlineMs || next->when <= *deadlineMs)) {
      d.now = std::max(d.now, next->when);
      auto action = std::move(next->action);
      d.script.erase(next);
      held.unlock();
      action();
      return;
    }
    if (deadlineMs) {
      d.now = std::max(d.now, *deadlineMs);
      return;
    }
    if (!d.woken.wait_for(held, kStallLimit, [&] { return d.wakePending; }))
      throw std::runtime_error("sim: the GUI thread waits for a message that nothing will send");
    d.wakePending = false;
  }

  void Wake() override {
    auto& d = TheDesktop();
    std::lock_guard g(d.lock);
    d.wakePending = true;
    d.woken.notify_all();
  }

  bool RunDeviceEvent(const std::function<bool()>& woken) override {
    if (plat::core::OtherThreadsBusy()) return false;  // it wakes the GUI thread when done
    // A worker wakes the GUI thread before it stops counting as busy: asked in this order, a
    // worker that has just finished what the GUI thread waits for is never missed.
    if (woken()) return false;
    auto& d = TheDesktop();
    std::unique_lock held(d.lock);
    auto next = d.script.end();
    for (auto it = d.script.begin(); it != d.script.end(); ++it)
      if (it->device && (next == d.script.end() || it->when < next->when ||
                         (it->when == next->when && it->order < next->order)))
        next = it;
    if (next == d.script.end()) return false;
    d.now = std::max(d.now, next->when);
    auto action = std::move(next->action);
    d.script.erase(next);
    held.unlock();
    action();
    return true;
  }

  void OtherThreadsIdle() override;
};

void SimHost::OtherThreadsIdle() {
  Wake();
  plat::WakeBlockedGuiThread();
}

SimHost& Host() {
  static SimHost host;
  return host;
}

}  // namespace

void ScheduleDeviceEvent(std::uint64_t whenMs, std::function<void()> action) {
  {
    auto& d = TheDesktop();
    std::lock_guard g(d.lock);
    d.script.push_back({whenMs, d.nextOrder++, std::move(action), true});
  }
  Host().Wake();
  plat::WakeBlockedGuiThread();
}
}  // namespace sim::detail

namespace plat {

void InitializeBackend() {
  core::InstallMessageHost(&sim::detail::Host());
  std::lock_guard g(sim::detail::TheDesktop().lock);
  sim::detail::TheDesktop().guiThread = GetCurrentThreadId();
}

bool StartedMinimized() {
  std::lock_guard g(sim::detail::TheDesktop().lock);
  return sim::detail::TheDesktop().startedMinimized;
}

}  // namespace plat

namespace sim {

using detail::TheDesktop;

void Reset() {
  plat::InitializeBackend();
  ResetConfiguration();
  detail::ResetWave();
  detail::ResetSpeech();
  detail::ResetShell();
  auto& d = TheDesktop();
  std::lock_guard g(d.lock);
  d.script.clear();
  d.boxes.clear();
  d.fills.clear();
  d.paintRect = {0, 0, 0, 0};
  d.eraseOnPaint = false;
  d.displayResults.clear();
  d.displayChanges.clear();
  d.displayAnswerDelayMs = 0;
  d.wakePending = false;
  d.now = 0;  // every test starts at the same moment; the windows of earlier tests are gone
  d.startedMinimized = false;
  d.visualStyles = true;
  d.screenWidth = 1024;
  d.screenHeight = 768;
  d.frames.clear();
}

std::uint64_t Now() {
  std::lock_guard g(TheDesktop().lock);
  return TheDesktop().now;
}

void Advance(std::uint64_t ms) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().now += ms;
}

void At(std::uint64_t delayMs, std::function<void()> action) {
  auto& d = TheDesktop();
  std::lock_guard g(d.lock);
  d.script.push_back({d.now + delayMs, d.nextOrder++, std::move(action)});
}

void SetStartedMinimized(bool minimized) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().startedMinimized = minimized;
}

void SetFrameExtents(plat::BorderStyle style, plat::RECT extents) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().frames[style] = extents;
}

void SetScreenSize(int width, int height) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().screenWidth = width;
  TheDesktop().screenHeight = height;
}

}  // namespace sim
