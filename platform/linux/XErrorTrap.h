#pragma once
// Keeps X errors caused by our own requests away from the process's error handler (Xlib's and
// GDK's default handlers end the program) and tells the caller that one happened.
#include <X11/Xlib.h>

namespace plat::x11 {

// Catches the errors of the requests sent on `display` during its lifetime; errors of earlier
// requests still go to the handler that was installed before. Traps do not nest.
class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;

  // Waits until the server has handled every request sent so far; true if any of them failed.
  bool Failed();

 private:
  static int Handle(Display* display, XErrorEvent* event);
  void WaitForServer();

  Display* display_;
  unsigned long firstSerial_;
  XErrorHandler previous_;
  int errorCode_ = 0;
};

}  // namespace plat::x11
