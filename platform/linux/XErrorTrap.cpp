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
  WaitForServer();
  XSetErrorHandler(previous_);
  active = nullptr;
}

bool XErrorTrap::Failed() {
  WaitForServer();
  return errorCode_ != 0;
}

void XErrorTrap::WaitForServer() {
  // Once the reply to the last request has been read, its errors and those of every earlier
  // request have been read too: the round trip of XSync would add nothing.
  if (LastKnownRequestProcessed(display_) != NextRequest(display_) - 1) XSync(display_, False);
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
