// xdrive: waits on X events and sends input for the end-to-end scripts. See Usage() below.
#include <X11/Xatom.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Connection.h"
#include "Drawing.h"
#include "Input.h"
#include "Report.h"
#include "Watches.h"
#include "Windows.h"

namespace xdrive {
namespace {

constexpr const char* kUsage = R"(usage: xdrive [-t SECONDS] [-p PID] [-q] COMMAND ARGS...

Waits on X events (never by polling) and sends input through XTest, for the end-to-end scripts.
Every wait ends at a deadline (-t, default 10 s). -p PID names the program under test: a wait
fails at once when it ends. On a timeout xdrive prints what it waited for, the events it saw,
the viewable top-level windows with their titles and places, and saves a screenshot; it prints
the screenshot's path (-q: quietly, for a wait whose timeout is an expected answer). Files go to $TAVELIN_E2E_ARTIFACTS (else $TMPDIR or /tmp); the events of
every call are appended to events.log there.

Windows (WIN) are given by their id (decimal or 0x hex, as xdrive prints them). A window is
chosen (SELECT) by any of these options, all of which must hold; the window must be viewable
and the topmost one that matches is taken:
  --title RE      its title (_NET_WM_NAME or WM_NAME) matches the extended regular expression
  --class RE      its WM_CLASS instance or class matches
  --size WxH      exactly this size        --not-size WxH   not this size (may be repeated)
  --min-size WxH  at least this size       --max-size WxH   at most this size
  --inside X,Y,WxH  wholly inside this rectangle of the screen

Looking now (no wait):
  find SELECT...          print the window's id; status 1 when there is none
  list [SELECT...]        print each viewable window: id WxH+X+Y "title", bottom to top
  geometry WIN            print X Y W H of the window's inside on the screen
  state WIN               print "viewable", "unmapped" or "gone"
  pointer                 print X Y and the top-level window under the pointer (or "root")
  screen                  print the screen's size, WxH
  report [TEXT]           print TEXT, the windows, pointer and focus; save a screenshot
  screenshot FILE         save the screen as a PNG file

Waiting:
  wait-map SELECT...      for a matching window; print its id
  wait-none SELECT...     until no window matches
  never SELECT...         fail as soon as a matching window is viewable; succeed when none was
                          until the deadline (a span the caller states)
  wait-unmap WIN          until WIN is not viewable; print "unmapped", or "gone" when destroyed
  wait-gone WIN           until WIN is destroyed
  wait-geometry WIN [--at X,Y] [--size WxH]
  wait-painted WIN        has WIN drawn afresh (an expose) and waits until that drawing has come
                          and nothing more was drawn for 100 ms
  wait-screen WxH         until the screen has this size
  wait-property WIN|root NAME   until the property is set on the window
  wait-exit PID           until the process ends
  wait-line FILE RE [N]   until N lines (default 1) of FILE match RE; print the N-th
  wait-entries DIR N      until the folder DIR holds at least N entries

Input (the pointer enters the window from outside and the entry is seen before a click; keys are
sent once the window has been told it has the focus):
  move X Y                move the pointer to X,Y of the screen
  place WIN X Y           move the window to X,Y of the screen and wait until it is there
  focus WIN               give WIN the focus and wait until it is told so
  click WIN X Y [--button N] [--double] [UNTIL]   click at X,Y of WIN's inside
  key WIN KEY... [UNTIL]                   focus WIN and press the keys (Down, Return, ctrl+a, ...)
  menu (--icon WIN [--at X,Y] | --open-with SHELL-COMMAND) (KEY... | --item X,Y) [UNTIL]
                          open a popup menu by a right click on WIN (at X,Y, default 4,4) or by
                          the command, wait for the menu to be shown, then press the keys or
                          click at X,Y of the menu
UNTIL is what the input must bring about. When it does not within a share of the deadline the
input is sent again (three tries at most; an open menu is closed with Escape first):
  --until-unmapped        the window clicked or keyed is unmapped or gone
  --until-map SELECT...   a matching window is viewable that was not before the input (its id
                          is printed)
  --until-exit PID        the process ends
  --until-line FILE RE    one more line of FILE matches RE than before the input

Status: 0 done, 1 timed out or not found, 2 bad usage, 3 no X server (or it went away),
4 the window named is gone, 5 the program (-p) ended.
)";

enum ExitStatus { kOk = 0, kFailed = 1, kBadUsage = 2, kGoneStatus = 4, kProgramEnded = 5 };

struct Options {
  double seconds = 10;
  pid_t program = 0;
  bool quiet = false;
  std::string command;
  std::vector<std::string> args;
};

[[noreturn]] void UsageError(const std::string& why) {
  std::fprintf(stderr, "xdrive: %s\n%s", why.c_str(), kUsage);
  std::exit(kBadUsage);
}

Window ParseWindow(const std::string& text) {
  char* end = nullptr;
  unsigned long id = std::strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end || !id) UsageError("not a window id: " + text);
  return id;
}

int ParseInt(const std::string& text) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end) UsageError("not a number: " + text);
  return static_cast<int>(v);
}

void ParsePoint(const std::string& text, int& x, int& y) {
  char tail;
  if (std::sscanf(text.c_str(), "%d,%d%c", &x, &y, &tail) != 2) UsageError("wants X,Y, not " + text);
}

std::string Hex(Window w) {
  char s[24];
  std::snprintf(s, sizeof s, "0x%lx", w);
  return s;
}

// A driver session: the connection, the deadline, the program watched.
class Driver {
 public:
  explicit Driver(const Options& o)
      : log_(LogFile()), c_(log_, NeedsDisplay(o.command)), input_(c_), deadline_(Clock::now() + Seconds(o.seconds)), options_(o) {
    if (o.program) program_ = std::make_unique<ProcessWatch>(c_, o.program);
    std::string line = "xdrive " + o.command;
    for (const auto& a : o.args) line += " " + a;
    log_.Add(line);
  }

  Connection& C() { return c_; }
  Input& In() { return input_; }
  Clock::time_point Deadline() const { return deadline_; }

  // Waits for `done`; on a timeout or the program's end reports why and exits.
  void Wait(const std::string& what, const std::function<bool()>& done) { WaitBefore(deadline_, what, done); }
  void WaitBefore(Clock::time_point deadline, const std::string& what, const std::function<bool()>& done) {
    if (TryWait(deadline, done)) return;
    Fail(what);
  }
  // True when `done` came true before the deadline (a wait for the program's own end included).
  bool TryWait(Clock::time_point deadline, const std::function<bool()>& done) {
    bool result = false;
    c_.WaitUntil(deadline, [&] { return (result = done()) || ProgramEnded(); });
    return result;
  }
  bool ProgramEnded() const { return program_ && program_->Ended(); }

  [[noreturn]] void Fail(const std::string& what) {
    if (options_.quiet) std::exit(ProgramEnded() ? kProgramEnded : kFailed);
    if (ProgramEnded()) {
      ReportFailure(c_, "the program (PID " + std::to_string(program_->Pid()) + ") ended while waiting for " + what);
      std::exit(kProgramEnded);
    }
    ReportFailure(c_, "timed out after " + SecondsText(options_.seconds) + " waiting for " + what);
    std::exit(kFailed);
  }

  [[noreturn]] void Gone(Window w) { Gone("window " + Hex(w)); }
  [[noreturn]] void Gone(const std::string& what) {
    std::fprintf(stderr, "xdrive: %s: gone\n", what.c_str());
    std::exit(kGoneStatus);
  }

 private:
  static bool NeedsDisplay(const std::string& command) {
    return command != "wait-exit" && command != "wait-line" && command != "wait-entries";
  }
  static std::string LogFile() {
    const char* dir = std::getenv("TAVELIN_E2E_ARTIFACTS");
    return dir && *dir ? ArtifactsDir() + "/events.log" : std::string();
  }
  static Clock::duration Seconds(double s) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
  }
  static std::string SecondsText(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", s);
    return text;
  }

  EventLog log_;
  Connection c_;
  Input input_;
  Clock::time_point deadline_;
  const Options& options_;
  std::unique_ptr<ProcessWatch> program_;
};

// Reads the selector options of args[i...]; anything else is an error.
void TakeSelector(Selector& s, const std::vector<std::string>& args, size_t i) {
  for (; i < args.size(); ++i) {
    std::string error;
    if (!s.Take(args, i, error)) UsageError("not a window option: " + args[i]);
    if (!error.empty()) UsageError(error);
  }
  if (s.Empty()) UsageError("no window options (--title, --class, --size ...)");
}

// What an input must bring about (UNTIL), read from args[i...].
class Effect {
 public:
  Effect(Driver& d, Window target) : d_(d), target_(target) {}

  void Parse(const std::vector<std::string>& args, size_t i) {
    if (i >= args.size()) return;
    const std::string& kind = args[i];
    if (kind == "--until-unmapped" && i + 1 == args.size()) {
      kind_ = kUnmapped;
    } else if (kind == "--until-map") {
      kind_ = kMap;
      TakeSelector(selector_, args, i + 1);
      for (const WindowInfo& w : ScanWindows(d_.C()))
        if (selector_.Matches(w)) before_.insert(w.id);
    } else if (kind == "--until-exit" && i + 2 == args.size()) {
      kind_ = kExit;
      process_ = std::make_unique<ProcessWatch>(d_.C(), ParseInt(args[i + 1]));
    } else if (kind == "--until-line" && i + 3 == args.size()) {
      kind_ = kLine;
      file_ = std::make_unique<FileWatch>(d_.C(), args[i + 1], args[i + 2]);
      if (!file_->Valid()) UsageError("not a regular expression: " + args[i + 2]);
      std::string last;
      lines_before_ = file_->Count(last);
    } else {
      UsageError("not an UNTIL: " + kind);
    }
  }

  bool Wanted() const { return kind_ != kNone; }
  std::string Text() const {
    switch (kind_) {
      case kUnmapped: return Hex(target_) + " unmapped";
      case kMap: return "a window " + selector_.Text();
      case kExit: return "process " + std::to_string(process_->Pid()) + " to end";
      case kLine: return "a new line in " + file_->Path();
      case kNone: break;
    }
    return "nothing";
  }
  bool Holds() {
    switch (kind_) {
      case kUnmapped: {
        auto info = Describe(d_.C(), target_);
        return !info || !info->viewable;
      }
      case kMap: {
        auto windows = ScanWindows(d_.C());
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
          if (selector_.Matches(*it) && !before_.count(it->id)) {
            found_ = it->id;
            return true;
          }
        }
        return false;
      }
      case kExit: return process_->Ended();
      case kLine: {
        std::string last;
        return file_->Count(last) > lines_before_;
      }
      case kNone: break;
    }
    return true;
  }
  void PrintResult() const {
    if (kind_ == kMap) std::printf("%lu\n", found_);
  }

 private:
  enum Kind { kNone, kUnmapped, kMap, kExit, kLine };
  Driver& d_;
  Window target_;
  Kind kind_ = kNone;
  Selector selector_;
  std::unique_ptr<ProcessWatch> process_;
  std::unique_ptr<FileWatch> file_;
  int lines_before_ = 0;
  std::set<Window> before_;  // the matching windows shown before the input
  Window found_ = 0;
};

// How an input went: not sent (the window not ready in time, or gone) or sent.
enum class Sent { kNot, kGone, kSent };

// Sends an input until it has its effect: the one place where input that a client lost is sent
// again, at most three times. Input is lost when the client handles it in a state that ignores
// it (a button the pointer had not yet entered, the first choice in a freshly made menu); a busy
// client handles it late. So input is sent again only when the effect has not come within a
// share of the deadline and the client has handled the last input (it answered a ping sent
// after it, when window `ping` takes pings); `undo` puts things back before another try (closes
// a menu left open).
int SendUntil(Driver& d, Effect& effect, const std::string& what, Window ping,
              const std::function<Sent(Clock::time_point)>& send, const std::function<void()>& undo) {
  constexpr int kTries = 3;
  for (int attempt = 1; attempt <= kTries; ++attempt) {
    auto now = Clock::now();
    auto until = now + (d.Deadline() - now) / (kTries - attempt + 1);
    Sent sent = send(until);
    if (sent == Sent::kGone && (!effect.Wanted() || !effect.Holds())) d.Gone(what);
    if (!effect.Wanted()) {
      if (sent == Sent::kNot) d.Fail(what + ": " + d.In().Problem());
      return kOk;
    }
    bool pinged = sent == Sent::kSent && ping && d.In().Ping(ping);
    if (d.TryWait(until, [&] { return effect.Holds(); })) {
      effect.PrintResult();
      return kOk;
    }
    // A client that has not handled the input yet is busy, not deaf: wait for it.
    if (pinged && !d.In().Answered() &&
        d.TryWait(d.Deadline(), [&] { return effect.Holds() || d.In().Answered(); }) && effect.Holds()) {
      effect.PrintResult();
      return kOk;
    }
    if (d.ProgramEnded() || Clock::now() >= d.Deadline()) break;
    // Said on stderr too: a test that passes only on a second try points at input a client lost.
    std::string note = "no " + effect.Text() + " after " + what + " (try " + std::to_string(attempt) + " of " +
                       std::to_string(kTries) + (sent == Sent::kSent ? "" : ": " + d.In().Problem()) + ")";
    d.C().Log().Add(note);
    std::fprintf(stderr, "xdrive: %s\n", note.c_str());
    if (attempt < kTries && undo) undo();
  }
  d.Wait(effect.Text() + " after " + what, [&] { return effect.Holds(); });
  effect.PrintResult();
  return kOk;
}

int Click(Driver& d, const std::vector<std::string>& a) {
  if (a.size() < 3) UsageError("click WIN X Y [--button N] [UNTIL]");
  Window w = ParseWindow(a[0]);
  int x = ParseInt(a[1]), y = ParseInt(a[2]), button = 1;
  bool twice = false;
  size_t i = 3;
  for (; i < a.size(); ++i) {
    if (a[i] == "--button" && i + 1 < a.size())
      button = ParseInt(a[++i]);
    else if (a[i] == "--double")
      twice = true;
    else
      break;
  }
  Effect effect(d, w);
  effect.Parse(a, i);
  return SendUntil(
      d, effect, "a click at " + a[1] + "," + a[2] + " of " + d.C().Describe(w), w,
      [&](Clock::time_point until) {
        InputResult r = d.In().Enter(w, x, y, until);
        if (r != InputResult::kDone) return r == InputResult::kGone ? Sent::kGone : Sent::kNot;
        d.In().Click(button);
        if (twice) d.In().Click(button);  // at once: well within a double click's time
        return Sent::kSent;
      },
      nullptr);
}

int Key(Driver& d, const std::vector<std::string>& a) {
  if (a.size() < 2) UsageError("key WIN KEY... [UNTIL]");
  Window w = ParseWindow(a[0]);
  std::vector<std::string> keys;
  size_t i = 1;
  for (; i < a.size() && a[i].rfind("--", 0) != 0; ++i) keys.push_back(a[i]);
  Effect effect(d, w);
  effect.Parse(a, i);
  return SendUntil(
      d, effect, "keys to " + d.C().Describe(w), w,
      [&](Clock::time_point until) {
        InputResult r = d.In().Focus(w, until);
        if (r != InputResult::kDone) return r == InputResult::kGone ? Sent::kGone : Sent::kNot;
        if (!d.In().Keys(keys)) UsageError(d.In().Problem());
        return Sent::kSent;
      },
      nullptr);
}

int Menu(Driver& d, const std::vector<std::string>& a) {
  Window icon = 0;
  int ax = 4, ay = 4, item_x = -1, item_y = -1;
  std::string open_with;
  std::vector<std::string> keys;
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (a[i] == "--icon" && i + 1 < a.size()) {
      icon = ParseWindow(a[++i]);
    } else if (a[i] == "--at" && i + 1 < a.size()) {
      ParsePoint(a[++i], ax, ay);
    } else if (a[i] == "--open-with" && i + 1 < a.size()) {
      open_with = a[++i];
    } else if (a[i] == "--item" && i + 1 < a.size()) {
      ParsePoint(a[++i], item_x, item_y);
    } else if (a[i].rfind("--until", 0) == 0) {
      break;
    } else if (a[i].rfind("--", 0) == 0) {
      UsageError("menu: unknown option " + a[i]);
    } else {
      keys.push_back(a[i]);
    }
  }
  if (!icon == open_with.empty()) UsageError("menu wants either --icon WIN or --open-with COMMAND");
  if (keys.empty() == (item_x < 0)) UsageError("menu wants either keys or --item X,Y");
  Effect effect(d, 0);
  effect.Parse(a, i);
  Connection& c = d.C();
  Window menu = 0;
  auto send = [&](Clock::time_point until) -> Sent {
    // The menu is a top-level override-redirect window that was not shown before, at the pointer.
    std::set<Window> shown;
    for (const WindowInfo& w : ScanWindows(c))
      if (w.viewable && w.override_redirect && w.top == w.id) shown.insert(w.id);
    if (icon) {
      InputResult r = d.In().Enter(icon, ax, ay, until);
      if (r != InputResult::kDone) return r == InputResult::kGone ? Sent::kGone : Sent::kNot;
      d.In().Click(3);
    } else if (std::system(open_with.c_str()) != 0) {
      d.Fail("the command that opens the menu failed: " + open_with);
    }
    menu = 0;
    bool opened = d.TryWait(until, [&] {
      Window root, child;
      int px, py, wx, wy;
      unsigned mask;
      XQueryPointer(c.Dpy(), c.Root(), &root, &child, &px, &py, &wx, &wy, &mask);
      for (const WindowInfo& w : ScanWindows(c)) {
        if (!w.viewable || !w.override_redirect || w.top != w.id || shown.count(w.id)) continue;
        if (px >= w.x - 2 && px <= w.x + w.width + 2 && py >= w.y - 2 && py <= w.y + w.height + 2) menu = w.id;
      }
      return menu != 0;
    });
    if (!opened) {
      c.Log().Add("no menu opened at the pointer");
      return Sent::kNot;
    }
    c.Log().Add("menu " + Hex(menu));
    // Once it has drawn itself afresh, the menu has handled its showing (and holds the keyboard).
    if (WaitDrawn(c, menu, Clock::duration::zero(), until) != Drawn::kYes) return Sent::kNot;
    if (item_x >= 0) {
      if (d.In().Enter(menu, item_x, item_y, until) != InputResult::kDone) return Sent::kNot;
      d.In().Click(1);
    } else {
      // One key at a time, each once the menu has drawn what the last one did.
      for (size_t k = 0; k < keys.size(); ++k) {
        d.In().Keys({keys[k]});
        if (k + 1 < keys.size() && WaitDrawn(c, menu, Clock::duration::zero(), until) != Drawn::kYes) return Sent::kSent;
      }
    }
    return Sent::kSent;
  };
  auto undo = [&] {
    auto info = menu ? Describe(c, menu) : std::nullopt;
    if (!info || !info->viewable) return;
    d.In().Keys({"Escape"});
    d.TryWait(d.Deadline(), [&] {
      auto now = Describe(c, menu);
      return !now || !now->viewable;
    });
  };
  return SendUntil(d, effect, icon ? "the menu of " + c.Describe(icon) : "the menu opened by " + open_with, icon,
                   send, undo);
}

int WaitPainted(Driver& d, Window w) {
  Connection& c = d.C();
  d.Wait("window " + c.Describe(w) + " to be viewable", [&] {
    auto info = Describe(c, w);
    if (!info) d.Gone(w);
    return info->viewable;
  });
  switch (WaitDrawn(c, w, std::chrono::milliseconds(100), d.Deadline())) {
    case Drawn::kYes: return kOk;
    case Drawn::kGone: d.Gone(w);
    case Drawn::kTimedOut: d.Fail("window " + c.Describe(w) + " to be drawn");
    case Drawn::kNoDamage: break;
  }
  std::fprintf(stderr, "xdrive: the X server has no DAMAGE extension\n");
  return kFailed;
}

int Run(Options& o) {
  const auto& a = o.args;
  const std::string& cmd = o.command;
  Driver d(o);
  Connection& c = d.C();
  auto need = [&](size_t n, const char* form) {
    if (a.size() < n) UsageError(form);
  };

  if (cmd == "find" || cmd == "wait-map" || cmd == "wait-none") {
    Selector s;
    TakeSelector(s, a, 0);
    std::optional<WindowInfo> found;
    if (cmd == "find") {
      found = s.Topmost(ScanWindows(c));
      if (!found) return kFailed;
    } else if (cmd == "wait-map") {
      d.Wait("a window " + s.Text(), [&] { return (found = s.Topmost(ScanWindows(c))).has_value(); });
    } else {
      d.Wait("no window " + s.Text(), [&] { return !s.Topmost(ScanWindows(c)); });
      return kOk;
    }
    std::printf("%lu\n", found->id);
    return kOk;
  }
  if (cmd == "never") {
    Selector s;
    TakeSelector(s, a, 0);
    std::optional<WindowInfo> found;
    if (d.TryWait(d.Deadline(), [&] { return (found = s.Topmost(ScanWindows(c))).has_value(); })) {
      ReportFailure(c, "a window " + s.Text() + " was shown: " + c.Describe(found->id));
      return kFailed;
    }
    return kOk;
  }
  if (cmd == "state") {
    need(1, "state WIN");
    auto info = Describe(c, ParseWindow(a[0]));
    std::printf("%s\n", !info ? "gone" : info->viewable ? "viewable" : "unmapped");
    return kOk;
  }
  if (cmd == "pointer") {
    Window root, child;
    int px, py, wx, wy;
    unsigned mask;
    XQueryPointer(c.Dpy(), c.Root(), &root, &child, &px, &py, &wx, &wy, &mask);
    std::printf("%d %d %s\n", px, py, child ? std::to_string(child).c_str() : "root");
    return kOk;
  }
  if (cmd == "focus") {
    need(1, "focus WIN");
    Window w = ParseWindow(a[0]);
    InputResult r = d.In().Focus(w, d.Deadline());
    if (r == InputResult::kGone) d.Gone(w);
    if (r != InputResult::kDone) d.Fail("the focus on " + c.Describe(w) + ": " + d.In().Problem());
    return kOk;
  }
  if (cmd == "wait-entries") {
    need(2, "wait-entries DIR N");
    FileWatch dir(c, a[0] + "/.", ".");
    int want = ParseInt(a[1]);
    auto count = [&] {
      int n = 0;
      if (DIR* d = opendir(a[0].c_str())) {
        while (dirent* e = readdir(d))
          if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) ++n;
        closedir(d);
      }
      return n;
    };
    d.Wait(a[1] + " entries in " + a[0], [&] { return count() >= want; });
    return kOk;
  }
  if (cmd == "list") {
    Selector s;
    if (!a.empty()) TakeSelector(s, a, 0);
    for (const WindowInfo& w : ScanWindows(c))
      if (s.Empty() ? w.viewable : s.Matches(w))
        std::printf("%lu %dx%d+%d+%d \"%s\"\n", w.id, w.width, w.height, w.x, w.y, w.title.c_str());
    return kOk;
  }
  if (cmd == "geometry") {
    need(1, "geometry WIN");
    Window w = ParseWindow(a[0]);
    auto info = Describe(c, w);
    if (!info) d.Gone(w);
    std::printf("%d %d %d %d\n", info->x, info->y, info->width, info->height);
    return kOk;
  }
  if (cmd == "screen") {
    XWindowAttributes root;
    XGetWindowAttributes(c.Dpy(), c.Root(), &root);
    std::printf("%dx%d\n", root.width, root.height);
    return kOk;
  }
  if (cmd == "report") {
    std::string text;
    for (const auto& word : a) text += (text.empty() ? "" : " ") + word;
    ReportFailure(c, text.empty() ? "report" : text);
    return kOk;
  }
  if (cmd == "screenshot") {
    need(1, "screenshot FILE");
    return SaveScreenshot(c, a[0]) ? kOk : kFailed;
  }
  if (cmd == "wait-unmap" || cmd == "wait-gone") {
    need(1, "wait-unmap WIN");
    Window w = ParseWindow(a[0]);
    bool gone = false;
    d.Wait(cmd == "wait-gone" ? "window " + c.Describe(w) + " to be destroyed" : "window " + c.Describe(w) + " to be unmapped",
           [&] {
             auto info = Describe(c, w);
             gone = !info;
             return gone || (cmd == "wait-unmap" && !info->viewable);
           });
    std::printf("%s\n", gone ? "gone" : "unmapped");
    return kOk;
  }
  if (cmd == "wait-geometry") {
    need(1, "wait-geometry WIN [--at X,Y] [--size WxH]");
    Window w = ParseWindow(a[0]);
    int x = 0, y = 0;
    bool at = false;
    Size size{};
    bool sized = false;
    for (size_t i = 1; i < a.size(); ++i) {
      if (a[i] == "--at" && i + 1 < a.size()) {
        ParsePoint(a[++i], x, y), at = true;
      } else if (a[i] == "--size" && i + 1 < a.size()) {
        if (!ParseSize(a[++i], size)) UsageError("wants WxH, not " + a[i]);
        sized = true;
      } else {
        UsageError("wait-geometry: unknown option " + a[i]);
      }
    }
    d.Wait("window " + c.Describe(w) + " at the place and size asked", [&] {
      auto info = Describe(c, w);
      if (!info) d.Gone(w);
      return (!at || (info->x == x && info->y == y)) && (!sized || (info->width == size.width && info->height == size.height));
    });
    return kOk;
  }
  if (cmd == "wait-painted") {
    need(1, "wait-painted WIN");
    return WaitPainted(d, ParseWindow(a[0]));
  }
  if (cmd == "wait-screen") {
    need(1, "wait-screen WxH");
    Size want;
    if (!ParseSize(a[0], want)) UsageError("wants WxH, not " + a[0]);
    d.Wait("the screen to be " + a[0], [&] {
      XWindowAttributes root;
      XGetWindowAttributes(c.Dpy(), c.Root(), &root);
      return root.width == want.width && root.height == want.height;
    });
    return kOk;
  }
  if (cmd == "wait-property") {
    need(2, "wait-property WIN|root NAME");
    Window w = a[0] == "root" ? c.Root() : ParseWindow(a[0]);
    c.Select(w, PropertyChangeMask);
    Atom name = XInternAtom(c.Dpy(), a[1].c_str(), False);
    d.Wait("the property " + a[1] + " on " + c.Describe(w), [&] {
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      int status = XGetWindowProperty(c.Dpy(), w, name, 0, 0, False, AnyPropertyType, &type, &format, &count, &after, &data);
      if (data) XFree(data);
      if (c.TakeErrors() && !Describe(c, w)) d.Gone(w);
      return status == Success && type != None;
    });
    return kOk;
  }
  if (cmd == "wait-exit") {
    need(1, "wait-exit PID");
    ProcessWatch process(c, ParseInt(a[0]));
    d.Wait("process " + a[0] + " to end", [&] { return process.Ended(); });
    return kOk;
  }
  if (cmd == "wait-line") {
    need(2, "wait-line FILE RE [N]");
    FileWatch file(c, a[0], a[1]);
    if (!file.Valid()) UsageError("not a regular expression: " + a[1]);
    int want = a.size() > 2 ? ParseInt(a[2]) : 1;
    std::string last;
    d.Wait(std::to_string(want) + " line(s) matching \"" + a[1] + "\" in " + a[0], [&] { return file.Count(last) >= want; });
    std::printf("%s\n", last.c_str());
    return kOk;
  }
  if (cmd == "move") {
    need(2, "move X Y");
    d.In().MoveTo(ParseInt(a[0]), ParseInt(a[1]));
    return kOk;
  }
  if (cmd == "place") {
    need(3, "place WIN X Y");
    Window w = ParseWindow(a[0]);
    int x = ParseInt(a[1]), y = ParseInt(a[2]);
    XMoveWindow(c.Dpy(), w, x, y);
    d.Wait("window " + c.Describe(w) + " at " + a[1] + "," + a[2], [&] {
      auto info = Describe(c, w);
      if (!info) d.Gone(w);
      return info->x == x && info->y == y;
    });
    return kOk;
  }
  if (cmd == "click") return Click(d, a);
  if (cmd == "key") return Key(d, a);
  if (cmd == "menu") return Menu(d, a);
  UsageError("no command " + cmd);
}

}  // namespace
}  // namespace xdrive

int main(int argc, char** argv) {
  using namespace xdrive;
  Options o;
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-t" && i + 1 < argc) {
      o.seconds = std::atof(argv[++i]);
    } else if (arg == "-q") {
      o.quiet = true;
    } else if (arg == "-p" && i + 1 < argc) {
      o.program = std::atoi(argv[++i]);
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      break;
    }
  }
  if (i >= argc) UsageError("no command");
  o.command = argv[i++];
  for (; i < argc; ++i) o.args.push_back(argv[i]);
  return Run(o);
}
