// The application window of the linux backend: a hidden message-core window (nothing on the
// screen shows it) whose extended style decides whether the application's windows are on the
// task bar.
#include <algorithm>
#include <vector>

#include "platform/core/CoreWindows.h"
#include "platform/linux/TaskbarPresence.h"
#include "platform/messages.h"
#include "platform/peers.h"

namespace plat {
namespace {

bool onTaskbar = true;
std::vector<taskbar::Member*> members;  // GUI thread only

class ApplicationWindowObserver final : public core::WindowObserver {
 public:
  void ShowStateChanged(bool, bool) override {}
  void ExStyleChanged(LONG_PTR exStyle) override {
    const bool now = (exStyle & WS_EX_TOOLWINDOW) == 0;
    if (now == onTaskbar) return;
    onTaskbar = now;
    for (auto* m : std::vector(members)) m->TaskbarPresenceChanged();
  }
};

ApplicationWindowObserver observer;

}  // namespace

namespace taskbar {

bool ApplicationOnTaskbar() { return onTaskbar; }
void Join(Member* member) { members.push_back(member); }
void Leave(Member* member) { std::erase(members, member); }

}  // namespace taskbar

HWND CreateApplicationWindow(const std::string& title, WNDPROC proc) {
  HWND hwnd = core::CreateCoreWindow("TApplication", title.c_str(), proc);
  onTaskbar = true;
  core::SetWindowObserver(hwnd, &observer);
  return hwnd;
}

}  // namespace plat
