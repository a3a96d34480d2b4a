#pragma once
// What the portable message core needs from its backend: a clock, and a way for the backend's
// own thread (the GUI thread) to sleep until a message may be waiting. Other threads sleep on
// the core's own condition variables.
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/wintypes.h"

namespace plat::core {

class MessageHost {
 public:
  virtual ~MessageHost() = default;

  // Milliseconds on the backend's clock (monotonic on linux, virtual in sim).
  virtual std::uint64_t NowMs() = 0;

  // True for the thread whose sleeping the backend does itself (the GUI thread).
  virtual bool OwnsThread(DWORD threadId) = 0;

  // Lets the backend run its own pending events (GTK) before the core looks at an owned
  // thread's queue, so "the queue is empty" means the backend has nothing waiting either.
  virtual void DispatchPending() {}

  // Sleeps an owned thread until Wake or until the clock reaches `deadlineMs`. A Wake that came
  // before the call must end the next Sleep at once.
  virtual void Sleep(std::optional<std::uint64_t> deadlineMs) = 0;

  // Wakes the owned thread from Sleep; may be called from any thread.
  virtual void Wake() = 0;

  // Runs the next event of a simulated device while the GUI thread is blocked (the clock moves
  // to it); false when there is none, or when `woken` says the GUI thread was woken meanwhile:
  // what it waits for may have come, and the clock must not move past that moment. Real devices
  // keep their own time.
  virtual bool RunDeviceEvent(const std::function<bool()>& woken) { return false; }

  // Every thread but the GUI thread has gone back to waiting for messages (called with the
  // core's lock held: wake, do nothing more).
  virtual void OtherThreadsIdle() {}
};

// Installs the backend's host; called once, before the first message call.
void InstallMessageHost(MessageHost* host);
// The installed host, or null before InitializeBackend.
MessageHost* InstalledHost();
// Whether a thread other than the GUI thread has messages waiting or is handling one.
bool OtherThreadsBusy();

}  // namespace plat::core
