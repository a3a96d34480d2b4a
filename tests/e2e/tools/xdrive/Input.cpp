#include "Input.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <sstream>

#include "Windows.h"

namespace xdrive {
namespace {

// The innermost window at (x, y) of the screen.
Window DeepestAt(Connection& c, int x, int y) {
  Window at = c.Root(), child = 0;
  int cx, cy;
  while (XTranslateCoordinates(c.Dpy(), c.Root(), at, x, y, &cx, &cy, &child) && child) at = child;
  return at;
}

bool IsInside(Connection& c, Window w, Window ancestor) {
  Window root_return, parent, *children = nullptr;
  unsigned count;
  while (w && w != c.Root()) {
    if (w == ancestor) return true;
    if (!XQueryTree(c.Dpy(), w, &root_return, &parent, &children, &count)) return false;
    if (children) XFree(children);
    w = parent;
  }
  return false;
}

}  // namespace

Input::Input(Connection& c)
    : c_(c), on_pong_(c.OnEvent([this](const XEvent& e) {
        if (e.type == ClientMessage && e.xclient.window == c_.Root() && ping_ && e.xclient.data.l[1] == ping_)
          answered_ = true;
      })) {}

bool Input::TakesPings(Window w) {
  Atom* protocols = nullptr;
  int count = 0;
  bool takes = false;
  if (XGetWMProtocols(c_.Dpy(), w, &protocols, &count)) {
    Atom ping = XInternAtom(c_.Dpy(), "_NET_WM_PING", False);
    for (int i = 0; i < count; ++i) takes = takes || protocols[i] == ping;
    XFree(protocols);
  }
  return takes;
}

bool Input::Ping(Window w) {
  answered_ = false;
  ping_ = 0;
  auto info = Describe(c_, w);
  if (!info) return false;
  Window target = TakesPings(w) ? w : TakesPings(info->top) ? info->top : 0;
  if (!target) return false;
  static long serial = 0;
  ping_ = (static_cast<long>(getpid()) << 12) + ++serial;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = target;
  e.xclient.message_type = XInternAtom(c_.Dpy(), "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(c_.Dpy(), "_NET_WM_PING", False));
  e.xclient.data.l[1] = ping_;
  e.xclient.data.l[2] = static_cast<long>(target);
  XSendEvent(c_.Dpy(), target, False, NoEventMask, &e);
  XSync(c_.Dpy(), False);
  return true;
}

void Input::MoveTo(int x, int y) {
  XTestFakeMotionEvent(c_.Dpy(), -1, x, y, CurrentTime);
  XSync(c_.Dpy(), False);
}

InputResult Input::Enter(Window w, int x, int y, Clock::time_point deadline) {
  problem_.clear();
  bool gone = false;
  int tx = 0, ty = 0;
  Window top = 0;
  // Viewable, and the point not covered by another window.
  bool ready = c_.WaitUntil(deadline, [&] {
    auto info = Describe(c_, w);
    if (!info) return gone = true;
    if (!info->viewable) {
      problem_ = "window " + c_.Describe(w) + " is not viewable";
      return false;
    }
    tx = info->x + x, ty = info->y + y, top = info->top;
    Window over = DeepestAt(c_, tx, ty);
    if (!IsInside(c_, over, w)) {
      problem_ = "the point " + std::to_string(x) + "," + std::to_string(y) + " of " + c_.Describe(w) +
                 " is covered by " + c_.Describe(over);
      return false;
    }
    return true;
  });
  if (gone) return InputResult::kGone;
  if (!ready) return InputResult::kTimedOut;

  // Come in from outside the window, so that its client is told of the entry before the click
  // (a client told only of motion within its window may not know yet what is under the pointer).
  Window pointer_root, child;
  int px, py, wx, wy;
  unsigned mask;
  XQueryPointer(c_.Dpy(), c_.Root(), &pointer_root, &child, &px, &py, &wx, &wy, &mask);
  if (IsInside(c_, DeepestAt(c_, px, py), w)) {
    XWindowAttributes root;
    XGetWindowAttributes(c_.Dpy(), c_.Root(), &root);
    int spots[][2] = {{0, 0}, {root.width - 1, root.height - 1}, {0, root.height - 1}, {root.width - 1, 0}};
    for (auto& spot : spots) {
      if (!IsInside(c_, DeepestAt(c_, spot[0], spot[1]), top)) {
        MoveTo(spot[0], spot[1]);
        break;
      }
    }
  }
  bool entered = false;
  auto on_enter = c_.OnEvent([&](const XEvent& e) {
    if (e.type == EnterNotify && e.xcrossing.window == w) entered = true;
  });
  c_.Select(w, EnterWindowMask);
  XSync(c_.Dpy(), False);
  MoveTo(tx, ty);
  bool ok = c_.WaitUntil(deadline, [&] {
    if (entered) return true;
    // Under another client's pointer grab (an open menu) crossings reach only that client: then
    // the pointer standing there is all there is to see.
    XQueryPointer(c_.Dpy(), c_.Root(), &pointer_root, &child, &px, &py, &wx, &wy, &mask);
    if (px != tx || py != ty) return false;
    if (XGrabPointer(c_.Dpy(), c_.Root(), False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime) ==
        AlreadyGrabbed)
      return true;
    XUngrabPointer(c_.Dpy(), CurrentTime);
    XSync(c_.Dpy(), False);
    return entered;
  });
  if (!ok) problem_ = "the pointer's entry into " + c_.Describe(w) + " was not seen";
  return ok ? InputResult::kDone : InputResult::kTimedOut;
}

void Input::Click(int button) {
  XTestFakeButtonEvent(c_.Dpy(), button, True, CurrentTime);
  XTestFakeButtonEvent(c_.Dpy(), button, False, CurrentTime);
  XSync(c_.Dpy(), False);
}

InputResult Input::Focus(Window w, Clock::time_point deadline) {
  problem_.clear();
  Window focus;
  int revert;
  XGetInputFocus(c_.Dpy(), &focus, &revert);
  if (focus == w) return InputResult::kDone;
  bool focused = false;
  auto on_focus = c_.OnEvent([&](const XEvent& e) {
    if (e.type == FocusIn && e.xfocus.window == w && e.xfocus.detail != NotifyPointer) focused = true;
  });
  c_.Select(w, FocusChangeMask);
  bool gone = false;
  bool ok = c_.WaitUntil(deadline, [&] {
    if (focused) return true;
    auto info = Describe(c_, w);
    if (!info) return gone = true;
    if (!info->viewable) {
      problem_ = "window " + c_.Describe(w) + " is not viewable";
      return false;
    }
    XGetInputFocus(c_.Dpy(), &focus, &revert);
    if (focus != w) {
      XSetInputFocus(c_.Dpy(), w, RevertToPointerRoot, CurrentTime);
      XSync(c_.Dpy(), False);
    }
    return focused;
  });
  if (gone) return InputResult::kGone;
  if (!ok && problem_.empty()) problem_ = "window " + c_.Describe(w) + " was not told that it has the focus";
  return ok ? InputResult::kDone : InputResult::kTimedOut;
}

bool Input::Keys(const std::vector<std::string>& names) {
  Display* dpy = c_.Dpy();
  for (const std::string& name : names) {
    // "ctrl+shift+Tab": modifiers first, held while the last key is pressed.
    std::vector<KeyCode> codes;
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '+')) {
      if (part == "ctrl") part = "Control_L";
      if (part == "shift") part = "Shift_L";
      if (part == "alt") part = "Alt_L";
      KeySym sym = XStringToKeysym(part.c_str());
      KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
      if (!code) {
        problem_ = "no key \"" + part + "\"";
        return false;
      }
      // A character typed with Shift on this keyboard (e.g. "A", "question") needs it held.
      if (XkbKeycodeToKeysym(dpy, code, 0, 0) != sym && XkbKeycodeToKeysym(dpy, code, 0, 1) == sym)
        codes.push_back(XKeysymToKeycode(dpy, XK_Shift_L));
      codes.push_back(code);
    }
    for (KeyCode code : codes) XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) XTestFakeKeyEvent(dpy, *it, False, CurrentTime);
  }
  XSync(dpy, False);
  return true;
}

}  // namespace xdrive
