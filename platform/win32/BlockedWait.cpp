// The GUI thread blocked on other threads: an auto-reset event keeps a wake that comes early.
#include "platform/messages.h"

#include <windows.h>

namespace plat {
namespace {

HANDLE WakeEvent() {
  static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return event;
}

}  // namespace

void BlockGuiThread() { WaitForSingleObject(WakeEvent(), INFINITE); }
void WakeBlockedGuiThread() { SetEvent(WakeEvent()); }

}  // namespace plat
