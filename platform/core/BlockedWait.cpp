// The GUI thread blocked on other threads (linux and sim).
#include <condition_variable>
#include <mutex>

#include "platform/core/MessageHost.h"
#include "platform/messages.h"

namespace plat {
namespace {

struct Blocked {
  std::mutex lock;
  std::condition_variable woken;
  bool wakePending = false;
};

Blocked& B() {
  static Blocked* b = new Blocked;  // workers may wake it during static destruction
  return *b;
}

}  // namespace

void BlockGuiThread() {
  auto& b = B();
  std::unique_lock held(b.lock);
  for (;;) {
    if (b.wakePending) {
      b.wakePending = false;
      return;
    }
    held.unlock();
    core::MessageHost* host = core::InstalledHost();
    const bool ran = host && host->RunDeviceEvent([&b] {
      std::lock_guard g(b.lock);
      return b.wakePending;
    });
    held.lock();
    if (ran) return;
    if (!b.wakePending) b.woken.wait(held);
  }
}

void WakeBlockedGuiThread() {
  auto& b = B();
  std::lock_guard g(b.lock);
  b.wakePending = true;
  b.woken.notify_all();
}

}  // namespace plat
