#pragma once
// Whether the application shows on the task bar. On Windows the hidden application window owns
// the task-bar button, and its extended style (WS_EX_TOOLWINDOW versus WS_EX_APPWINDOW) takes the
// application off and back on. X11 has no such owner: every window of the application carries
// the "skip task bar" hint instead, and follows the application window's style.
namespace plat::taskbar {

class Member {
 public:
  virtual ~Member() = default;
  virtual void TaskbarPresenceChanged() = 0;
};

bool ApplicationOnTaskbar();
void Join(Member* member);
void Leave(Member* member);

}  // namespace plat::taskbar
