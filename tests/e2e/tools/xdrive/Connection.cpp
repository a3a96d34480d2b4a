#include "Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <sys/time.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace xdrive {
namespace {

int trapped_errors = 0;
EventLog* error_log = nullptr;

int TrapError(Display* dpy, XErrorEvent* e) {
  ++trapped_errors;
  if (error_log) {
    char text[128];
    XGetErrorText(dpy, e->error_code, text, sizeof text);
    char line[256];
    std::snprintf(line, sizeof line, "X error %s (request %d) on 0x%lx", text, e->request_code, e->resourceid);
    error_log->Add(line);
  }
  return 0;
}

int ServerGone(Display*) {
  std::fprintf(stderr, "xdrive: the X server went away\n");
  std::exit(3);
}

std::string Hex(Window w) {
  char s[24];
  std::snprintf(s, sizeof s, "0x%lx", w);
  return s;
}

}  // namespace

EventLog::EventLog(std::string file) : file_(std::move(file)) {}

void EventLog::Add(const std::string& line) {
  timeval tv;
  gettimeofday(&tv, nullptr);
  tm t;
  localtime_r(&tv.tv_sec, &t);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03ld ", t.tm_hour, t.tm_min, t.tm_sec, tv.tv_usec / 1000);
  lines_.push_back(stamp + line);
  if (file_.empty()) return;
  if (FILE* f = std::fopen(file_.c_str(), "a")) {
    std::fprintf(f, "%s\n", lines_.back().c_str());
    std::fclose(f);
  }
}

Connection::Connection(EventLog& log, bool display) : log_(log) {
  error_log = &log_;
  if (!display) return;
  XSetErrorHandler(TrapError);
  XSetIOErrorHandler(ServerGone);
  dpy_ = XOpenDisplay(nullptr);
  if (!dpy_) {
    std::fprintf(stderr, "xdrive: cannot open the display \"%s\"\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    std::exit(3);
  }
  root_ = DefaultRootWindow(dpy_);
  int error_base;
  if (XRRQueryExtension(dpy_, &randr_event_base_, &error_base)) {
    XRRSelectInput(dpy_, root_, RRScreenChangeNotifyMask);
  } else {
    randr_event_base_ = -1;
  }
  if (!XDamageQueryExtension(dpy_, &damage_event_base_, &error_base)) damage_event_base_ = -1;
  Select(root_, StructureNotifyMask | SubstructureNotifyMask | PropertyChangeMask);
}

Connection::~Connection() {
  if (dpy_) XCloseDisplay(dpy_);
  error_log = nullptr;
}

void Connection::Select(Window w, long mask) {
  long& have = masks_[w];
  if ((have | mask) == have) return;
  have |= mask;
  XSelectInput(dpy_, w, have);
}

int Connection::TakeErrors() {
  if (dpy_) XSync(dpy_, False);
  int n = trapped_errors;
  trapped_errors = 0;
  return n;
}

void Connection::WakeAt(Clock::time_point t) {
  if (t < wake_at_) wake_at_ = t;
}

void Connection::AddSource(int fd, std::function<void()> on_readable) {
  sources_.emplace_back(fd, std::move(on_readable));
}

std::string TitleOf(Display* dpy, Window w) {
  Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  Atom net_name = XInternAtom(dpy, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(dpy, w, net_name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
      data && type == utf8) {
    title.assign(reinterpret_cast<char*>(data), count);
  }
  if (data) XFree(data);
  if (!title.empty()) return title;
  XTextProperty text;
  if (XGetWMName(dpy, w, &text) && text.value) {
    title.assign(reinterpret_cast<char*>(text.value), text.nitems);
    XFree(text.value);
  }
  return title;
}

std::string Connection::Describe(Window w) {
  std::string title = TitleOf(dpy_, w);
  return title.empty() ? Hex(w) : Hex(w) + " \"" + title + "\"";
}

std::string Connection::Format(const XEvent& e) {
  char s[256];
  switch (e.type) {
    case MapNotify:
      return "map " + Describe(e.xmap.window);
    case UnmapNotify:
      return "unmap " + Hex(e.xunmap.window);
    case DestroyNotify:
      return "destroy " + Hex(e.xdestroywindow.window);
    case CreateNotify:
      std::snprintf(s, sizeof s, "create 0x%lx in 0x%lx %dx%d+%d+%d%s", e.xcreatewindow.window, e.xcreatewindow.parent,
                    e.xcreatewindow.width, e.xcreatewindow.height, e.xcreatewindow.x, e.xcreatewindow.y,
                    e.xcreatewindow.override_redirect ? " override-redirect" : "");
      return s;
    case ConfigureNotify:
      std::snprintf(s, sizeof s, "configure 0x%lx %dx%d+%d+%d", e.xconfigure.window, e.xconfigure.width,
                    e.xconfigure.height, e.xconfigure.x, e.xconfigure.y);
      return s;
    case ReparentNotify:
      std::snprintf(s, sizeof s, "reparent 0x%lx into 0x%lx", e.xreparent.window, e.xreparent.parent);
      return s;
    case PropertyNotify: {
      char* name = XGetAtomName(dpy_, e.xproperty.atom);
      std::snprintf(s, sizeof s, "property 0x%lx %s%s", e.xproperty.window, name ? name : "?",
                    e.xproperty.state == PropertyDelete ? " deleted" : "");
      if (name) XFree(name);
      return s;
    }
    case EnterNotify:
    case LeaveNotify:
      std::snprintf(s, sizeof s, "%s 0x%lx at %d,%d", e.type == EnterNotify ? "pointer enters" : "pointer leaves",
                    e.xcrossing.window, e.xcrossing.x, e.xcrossing.y);
      return s;
    case FocusIn:
    case FocusOut:
      std::snprintf(s, sizeof s, "%s 0x%lx", e.type == FocusIn ? "focus in" : "focus out", e.xfocus.window);
      return s;
    default:
      break;
  }
  if (randr_event_base_ >= 0 && e.type == randr_event_base_ + RRScreenChangeNotify) {
    const auto& r = reinterpret_cast<const XRRScreenChangeNotifyEvent&>(e);
    std::snprintf(s, sizeof s, "screen %dx%d", r.width, r.height);
    return s;
  }
  if (damage_event_base_ >= 0 && e.type == damage_event_base_ + XDamageNotify) {
    return "drawn " + Hex(reinterpret_cast<const XDamageNotifyEvent&>(e).drawable);
  }
  return {};
}

void Connection::Drain() {
  while (dpy_ && XPending(dpy_)) {
    XEvent e;
    XNextEvent(dpy_, &e);
    if (randr_event_base_ >= 0 && e.type == randr_event_base_ + RRScreenChangeNotify) XRRUpdateConfiguration(&e);
    for (auto& [_, handler] : handlers_) handler(e);
    // Drawing comes in bursts; the waits that care count it, the log would only drown in it.
    if (damage_event_base_ >= 0 && e.type == damage_event_base_ + XDamageNotify) continue;
    std::string line = Format(e);
    if (!line.empty()) log_.Add(line);
  }
}

bool Connection::WaitUntil(Clock::time_point deadline, const std::function<bool()>& done) {
  for (;;) {
    Drain();
    wake_at_ = Clock::time_point::max();
    if (done()) return true;
    if (dpy_ && QLength(dpy_) > 0) continue;  // events that came in while `done` asked the server
    auto now = Clock::now();
    if (now >= deadline) return false;
    auto until = std::min(deadline, wake_at_);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
    // Without a display the first entry is ignored (a negative descriptor).
    std::vector<pollfd> fds{{dpy_ ? ConnectionNumber(dpy_) : -1, POLLIN, 0}};
    for (auto& [fd, _] : sources_) fds.push_back({fd, POLLIN, 0});
    if (dpy_) XFlush(dpy_);
    if (poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(ms, 60000))) > 0) {
      for (size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents) sources_[i - 1].second();
    }
  }
}

}  // namespace xdrive
