// The driver's X connection: every window selected for the events that change what the scripts
// wait for, X errors trapped (a window that vanished is an answer, not a crash), and one wait loop
// that wakes on those events, on other file descriptors (a process's end, a file written) or at a
// deadline.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace xdrive {

using Clock = std::chrono::steady_clock;

// What this process saw, one line per event, stamped with the wall-clock time so that the lines of
// several calls can be read together; also appended to a file when one is named.
class EventLog {
 public:
  explicit EventLog(std::string file);
  void Add(const std::string& line);
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::string& File() const { return file_; }

 private:
  std::string file_;
  std::vector<std::string> lines_;
};

class Connection {
 public:
  // Opens $DISPLAY; exits with status 3 when there is none, and whenever the server goes away.
  // Without `display` no server is opened: the waits are on other sources only.
  Connection(EventLog& log, bool display);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* Dpy() const { return dpy_; }
  Window Root() const { return root_; }
  EventLog& Log() { return log_; }

  // Adds `mask` to the events this client selects on `w`; a window that is gone is skipped.
  void Select(Window w, long mask);
  // Selects structure and property changes on `w` once (the tree scan calls it for every window).
  void Watch(Window w) { Select(w, SubstructureNotifyMask | PropertyChangeMask); }

  // Runs until `done` holds (asked first, then after each batch of events or wake-up), or until
  // `deadline`; true when done. `done` may ask to be asked again at a time (WakeAt), for quiet spans.
  bool WaitUntil(Clock::time_point deadline, const std::function<bool()>& done);
  void WakeAt(Clock::time_point t);

  // Another source of wake-ups: `on_readable` runs whenever `fd` can be read.
  void AddSource(int fd, std::function<void()> on_readable);

  // Calls `handler` for every X event before it is logged, while the returned object lives (the
  // waits keep their own state this way).
  class Handler {
   public:
    Handler(Connection& c, int id) : c_(c), id_(id) {}
    ~Handler() { c_.handlers_.erase(id_); }
    Handler(const Handler&) = delete;
    Handler& operator=(const Handler&) = delete;

   private:
    Connection& c_;
    int id_;
  };
  [[nodiscard]] Handler OnEvent(std::function<void(const XEvent&)> handler) {
    handlers_[++last_handler_] = std::move(handler);
    return Handler(*this, last_handler_);
  }

  // The X errors trapped since the last call.
  int TakeErrors();

  int RandrEventBase() const { return randr_event_base_; }
  int DamageEventBase() const { return damage_event_base_; }
  bool HasDamage() const { return damage_event_base_ >= 0; }

  // A short description of window `w` for the log: its id and title.
  std::string Describe(Window w);

 private:
  void Drain();
  std::string Format(const XEvent& e);

  EventLog& log_;
  Display* dpy_ = nullptr;
  Window root_ = 0;
  std::map<Window, long> masks_;
  std::vector<std::pair<int, std::function<void()>>> sources_;
  std::map<int, std::function<void(const XEvent&)>> handlers_;
  int last_handler_ = 0;
  Clock::time_point wake_at_ = Clock::time_point::max();
  int randr_event_base_ = -1;
  int damage_event_base_ = -1;
};

// The window's title: _NET_WM_NAME (UTF-8) or else WM_NAME; empty when it has none or is gone.
std::string TitleOf(Display* dpy, Window w);

}  // namespace xdrive
