#include "platform/linux/XErrorTrap.h"

namespace plat::x11 {

namespace {
XErrorTrap* active = nullptr;
}

XErrorTrap::XErrorTrap(Display* display)
    : display_(display), firstSerial_(NextRequest(display)), previous_(XSetErrorHandler(&Handle)) {
  active = this;
}

XErrorTrap::~XErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
  active = nullptr;
}

bool XErrorTrap::Failed() {
  XSync(display_, False);
  return errorCode_ != 0;
}

int XErrorTrap::Handle(Display* display, XErrorEvent* event) {
  XErrorTrap* trap = active;  // set for as long as this handler is installed
  if (display == trap->display_ && event->serial >= trap->firstSerial_) {
    if (!trap->errorCode_) trap->errorCode_ = event->error_code;
    return 0;
  }
  return trap->previous_ ? trap->previous_(display, event) : 0;
}

}  // namespace plat::x11
