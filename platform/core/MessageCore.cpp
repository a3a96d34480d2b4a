// The portable message core shared by the linux and sim backends. One lock guards every record;
// window procedures are always called with it released, so they may post, send, create and
// destroy freely.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <utility>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/core/CoreWindows.h"
#include "platform/core/MessageHost.h"
#include "platform/messages.h"

namespace plat {
namespace {

struct SentMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
  bool done = false;
};

struct ThreadQueue {
  DWORD threadId = 0;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quitPosted = false;
  int quitCode = 0;
  std::condition_variable wake;  // for threads the host does not own
  bool processing = false;        // took a message and has not come back for the next one
  bool busy = false;              // counted in MessageCore::busyThreads
};

struct WindowRecord {
  HWND handle = nullptr;
  DWORD threadId = 0;
  WNDPROC proc = nullptr;
  std::string className;
  std::string caption;
  bool visible = false;
  bool iconic = false;
  LONG_PTR style = 0;
  LONG_PTR exStyle = 0;
  LONG_PTR userData = 0;
  core::WindowObserver* observer = nullptr;
};

struct TimerRecord {
  HWND hwnd;
  UINT_PTR id;
  DWORD threadId;
  UINT interval;
  std::uint64_t due;
};

class MessageCore {
 public:
  std::mutex lock;
  std::condition_variable sentDone;
  core::MessageHost* host = nullptr;
  std::unordered_map<DWORD, std::unique_ptr<ThreadQueue>> queues;
  std::map<std::uintptr_t, WindowRecord> windows;  // ordered by handle = creation order
  std::vector<TimerRecord> timers;
  std::map<std::string, UINT> registered;
  std::uintptr_t nextHandle = 0x10010;
  UINT nextRegistered = 0xC000;
  UINT_PTR nextThreadTimerId = 1;
  std::atomic<int> busyThreads{0};

  // A thread other than the GUI thread is busy while it has messages waiting or is handling one;
  // the sim's clock waits for it, as real time would pass only while it works. Lock held.
  void UpdateBusy(ThreadQueue& q) {
    const bool busy = (q.processing || !q.posted.empty()) && !(host && host->OwnsThread(q.threadId));
    if (busy == q.busy) return;
    q.busy = busy;
    if (busy) {
      ++busyThreads;
    } else if (--busyThreads == 0 && host) {
      host->OtherThreadsIdle();
    }
  }

  std::uint64_t Now() { return host ? host->NowMs() : 0; }

  WindowRecord* Find(HWND hwnd) {
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == windows.end() ? nullptr : &it->second;
  }

  ThreadQueue& QueueOf(DWORD threadId) {
    auto& q = queues[threadId];
    if (!q) {
      q = std::make_unique<ThreadQueue>();
      q->threadId = threadId;
    }
    return *q;
  }

  ThreadQueue* ExistingQueue(DWORD threadId) {
    auto it = queues.find(threadId);
    return it == queues.end() ? nullptr : it->second.get();
  }

  // Called with the lock held. A thread never needs waking by itself: it is not asleep, and a
  // stale wake-up would cost it a spurious extra turn of its loop.
  void Wake(ThreadQueue& q) {
    if (q.threadId == GetCurrentThreadId()) return;
    if (host && host->OwnsThread(q.threadId))
      host->Wake();
    else
      q.wake.notify_all();
  }

  bool PostTo(DWORD threadId, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ThreadQueue* q = ExistingQueue(threadId);
    if (!q) q = &QueueOf(threadId);  // a window's thread always has a queue
    q->posted.push_back(MSG{hwnd, msg, wParam, lParam, static_cast<DWORD>(Now()), {0, 0}});
    UpdateBusy(*q);
    Wake(*q);
    return true;
  }

  static bool InRange(UINT msg, UINT min, UINT max) {
    if (min == 0 && max == 0) return true;
    return msg >= min && msg <= max;
  }

  static bool WindowMatches(HWND filter, HWND hwnd) { return filter == nullptr || filter == hwnd; }

  TimerRecord* DueTimer(DWORD threadId, HWND filter, UINT min, UINT max) {
    if (!InRange(WM_TIMER, min, max)) return nullptr;
    const std::uint64_t now = Now();
    TimerRecord* best = nullptr;
    for (auto& t : timers) {
      if (t.threadId != threadId || !WindowMatches(filter, t.hwnd) || t.due > now) continue;
      if (!best || t.due < best->due) best = &t;
    }
    return best;
  }

  // The next moment a timer this retrieval could take falls due.
  std::optional<std::uint64_t> NextTimerDue(DWORD threadId, HWND filter, UINT min, UINT max) const {
    std::optional<std::uint64_t> due;
    if (!InRange(WM_TIMER, min, max)) return due;
    for (const auto& t : timers)
      if (t.threadId == threadId && WindowMatches(filter, t.hwnd) && (!due || t.due < *due)) due = t.due;
    return due;
  }

  // Runs the sent messages waiting for this thread. Lock held on entry and exit.
  void RunSent(std::unique_lock<std::mutex>& held, ThreadQueue& q) {
    while (!q.sent.empty()) {
      auto s = q.sent.front();
      q.sent.pop_front();
      WindowRecord* w = Find(s->hwnd);
      WNDPROC proc = w ? w->proc : nullptr;
      held.unlock();
      LRESULT r = proc ? proc(s->hwnd, s->msg, s->wParam, s->lParam) : 0;
      held.lock();
      s->result = r;
      s->done = true;
      sentDone.notify_all();
    }
  }

  // Looks for a message; lock held.
  bool Take(ThreadQueue& q, MSG* out, HWND filter, UINT min, UINT max, bool remove) {
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
      if (!WindowMatches(filter, it->hwnd) || !InRange(it->message, min, max)) continue;
      *out = *it;
      if (remove) {
        q.posted.erase(it);
        UpdateBusy(q);
      }
      return true;
    }
    if (q.quitPosted) {
      *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, static_cast<DWORD>(Now()), {0, 0}};
      if (remove) q.quitPosted = false;
      return true;
    }
    if (TimerRecord* t = DueTimer(q.threadId, filter, min, max)) {
      *out = MSG{t->hwnd, WM_TIMER, t->id, 0, static_cast<DWORD>(Now()), {0, 0}};
      if (remove) {
        // One WM_TIMER however many periods have passed; the next falls a whole period later.
        const std::uint64_t now = Now();
        t->due += t->interval;
        if (t->due <= now) t->due = now + t->interval;
      }
      return true;
    }
    return false;
  }

  bool HasWork(ThreadQueue& q) {
    MSG ignored;
    return !q.sent.empty() || Take(q, &ignored, nullptr, 0, 0, false);
  }

  // Sleeps the calling thread until its queue may hold something. Lock held on entry and exit.
  void Sleep(std::unique_lock<std::mutex>& held, ThreadQueue& q, HWND filter = nullptr, UINT min = 0, UINT max = 0) {
    const auto deadline = NextTimerDue(q.threadId, filter, min, max);
    if (host && host->OwnsThread(q.threadId)) {
      held.unlock();
      host->Sleep(deadline);
      held.lock();
      return;
    }
    q.processing = false;
    UpdateBusy(q);
    if (!deadline) {
      q.wake.wait(held);
      return;
    }
    const std::uint64_t now = Now();
    if (*deadline > now) q.wake.wait_for(held, std::chrono::milliseconds(*deadline - now));
  }

  // What every look at a thread's queue begins with: the backend's own events (GUI thread) and
  // the messages other threads sent. Lock held on entry and exit.
  ThreadQueue& Look(std::unique_lock<std::mutex>& held, DWORD threadId) {
    QueueOf(threadId);
    if (host && host->OwnsThread(threadId)) {
      held.unlock();
      host->DispatchPending();
      held.lock();
    }
    ThreadQueue& q = QueueOf(threadId);
    RunSent(held, q);
    return q;
  }
};

MessageCore& Core() {
  static MessageCore* core = new MessageCore;  // outlives every static destructor
  return *core;
}

std::atomic<DWORD> nextThreadId{0x100};

// Thread ids of our own; the queue goes with the thread.
struct ThreadIdentity {
  DWORD id = nextThreadId.fetch_add(4);
  ~ThreadIdentity() {
    auto& c = Core();
    std::lock_guard g(c.lock);
    if (auto it = c.queues.find(id); it != c.queues.end()) {
      it->second->processing = false;
      it->second->posted.clear();
      c.UpdateBusy(*it->second);
      c.queues.erase(it);
    }
    std::erase_if(c.timers, [this](const TimerRecord& t) { return t.threadId == id; });
  }
};
thread_local ThreadIdentity threadIdentity;

}  // namespace

namespace core {

void InstallMessageHost(MessageHost* host) {
  std::lock_guard g(Core().lock);
  Core().host = host;
}

bool OtherThreadsBusy() { return Core().busyThreads.load() > 0; }

MessageHost* InstalledHost() {
  std::lock_guard g(Core().lock);
  return Core().host;
}

HWND CreateCoreWindow(const char* className, const char* caption, WNDPROC proc) {
  auto& c = Core();
  HWND hwnd;
  {
    std::lock_guard g(c.lock);
    hwnd = reinterpret_cast<HWND>(c.nextHandle);
    c.nextHandle += 4;
    WindowRecord w;
    w.handle = hwnd;
    w.threadId = GetCurrentThreadId();
    w.proc = proc;
    w.className = className ? className : "";
    w.caption = caption ? caption : "";
    c.windows.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(w));
    c.QueueOf(GetCurrentThreadId());
  }
  if (proc) proc(hwnd, WM_CREATE, 0, 0);
  return hwnd;
}

void SetWindowObserver(HWND hwnd, WindowObserver* observer) {
  std::lock_guard g(Core().lock);
  if (auto* w = Core().Find(hwnd)) w->observer = observer;
}

void SetWindowCaption(HWND hwnd, const std::string& caption) {
  std::lock_guard g(Core().lock);
  if (auto* w = Core().Find(hwnd)) w->caption = caption;
}

std::string WindowCaption(HWND hwnd) {
  std::lock_guard g(Core().lock);
  auto* w = Core().Find(hwnd);
  return w ? w->caption : std::string();
}

std::string WindowClassName(HWND hwnd) {
  std::lock_guard g(Core().lock);
  auto* w = Core().Find(hwnd);
  return w ? w->className : std::string();
}

std::vector<HWND> AllWindows() {
  std::lock_guard g(Core().lock);
  std::vector<HWND> out;
  for (auto& [key, w] : Core().windows) out.push_back(w.handle);
  return out;
}

}  // namespace core

DWORD GetCurrentThreadId() { return threadIdentity.id; }

DWORD GetTickCount() { return static_cast<DWORD>(Core().Now()); }

HWND CreateHiddenWindow(const char* className, const char* caption, WNDPROC proc) {
  return core::CreateCoreWindow(className, caption, proc);
}

BOOL DestroyWindow(HWND hwnd) {
  auto& c = Core();
  WNDPROC proc;
  {
    std::lock_guard g(c.lock);
    auto* w = c.Find(hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  if (proc) proc(hwnd, WM_DESTROY, 0, 0);
  std::lock_guard g(c.lock);
  c.windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
  std::erase_if(c.timers, [hwnd](const TimerRecord& t) { return t.hwnd == hwnd; });
  return 1;
}

BOOL IsWindow(HWND hwnd) {
  std::lock_guard g(Core().lock);
  return Core().Find(hwnd) != nullptr;
}

BOOL IsWindowVisible(HWND hwnd) {
  std::lock_guard g(Core().lock);
  auto* w = Core().Find(hwnd);
  return w && w->visible;
}

BOOL IsIconic(HWND hwnd) {
  std::lock_guard g(Core().lock);
  auto* w = Core().Find(hwnd);
  return w && w->iconic;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto& c = Core();
  core::WindowObserver* observer;
  bool wasVisible, wasIconic, visible, iconic;
  {
    std::lock_guard g(c.lock);
    auto* w = c.Find(hwnd);
    if (!w) return 0;
    wasVisible = w->visible;
    wasIconic = w->iconic;
    switch (cmd) {
      case SW_HIDE: w->visible = false; break;
      case SW_SHOWMINIMIZED:
      case SW_MINIMIZE: w->visible = true; w->iconic = true; break;
      default: w->visible = true; w->iconic = false; break;
    }
    observer = w->observer;
    visible = w->visible;
    iconic = w->iconic;
  }
  if (observer) observer->ShowStateChanged(visible, iconic);
  // As on Windows, a window learns that it was minimised or restored through WM_SIZE.
  if (iconic != wasIconic) SendMessageA(hwnd, WM_SIZE, iconic ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
  return wasVisible;
}

namespace core {

BOOL BringToFront(HWND hwnd) {
  WindowObserver* observer;
  {
    std::lock_guard g(Core().lock);
    auto* w = Core().Find(hwnd);
    if (!w) return 0;
    observer = w->observer;
  }
  if (observer) observer->BringToFront();
  return 1;
}

}  // namespace core

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  // As on Windows, the text reaches the window's procedure as WM_SETTEXT (hooks on the
  // application window see every write), and the default procedure keeps it.
  if (!IsWindow(hwnd)) return 0;
  return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? 1 : 0;
}

HWND FindWindowA(const char* className, const char* caption) {
  std::lock_guard g(Core().lock);
  for (auto it = Core().windows.rbegin(); it != Core().windows.rend(); ++it) {
    const auto& w = it->second;
    if (className && w.className != className) continue;
    if (caption && w.caption != caption) continue;
    return w.handle;
  }
  return nullptr;
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  std::lock_guard g(Core().lock);
  auto* w = Core().Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_STYLE: return w->style;
    case GWL_EXSTYLE: return w->exStyle;
    case GWLP_USERDATA: return w->userData;
    default: return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  core::WindowObserver* observer = nullptr;
  LONG_PTR old = 0;
  {
    std::lock_guard g(Core().lock);
    auto* w = Core().Find(hwnd);
    if (!w) return 0;
    switch (index) {
      case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
      case GWL_STYLE: old = std::exchange(w->style, value); break;
      case GWL_EXSTYLE:
        old = std::exchange(w->exStyle, value);
        observer = w->observer;
        break;
      case GWLP_USERDATA: old = std::exchange(w->userData, value); break;
      default: break;
    }
  }
  if (observer) observer->ExStyleChanged(value);
  return old;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) DestroyWindow(hwnd);
  if (msg == WM_SETTEXT) {
    std::lock_guard g(Core().lock);
    auto* w = Core().Find(hwnd);
    if (!w) return 0;
    w->caption = reinterpret_cast<const char*>(lParam);
    return 1;
  }
  return 0;
}

UINT RegisterWindowMessageA(const char* name) {
  if (!name || !*name) return 0;
  auto& c = Core();
  std::lock_guard g(c.lock);
  std::string key(name);
  // Windows compares registered names without regard to case.
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char ch) { return std::tolower(ch); });
  auto [it, added] = c.registered.emplace(key, c.nextRegistered);
  if (added) ++c.nextRegistered;
  return it->second;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& c = Core();
  std::lock_guard g(c.lock);
  if (hwnd == nullptr) return c.PostTo(GetCurrentThreadId(), nullptr, msg, wParam, lParam);
  if (hwnd == HWND_BROADCAST) {
    for (auto& [key, w] : c.windows) c.PostTo(w.threadId, w.handle, msg, wParam, lParam);
    return 1;
  }
  auto* w = c.Find(hwnd);
  if (!w) return 0;
  return c.PostTo(w->threadId, hwnd, msg, wParam, lParam);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& c = Core();
  if (hwnd == HWND_BROADCAST) {
    for (HWND target : core::AllWindows()) SendMessageA(target, msg, wParam, lParam);
    return 1;
  }
  std::unique_lock held(c.lock);
  auto* w = c.Find(hwnd);
  if (!w) return 0;
  if (w->threadId == GetCurrentThreadId()) {
    WNDPROC proc = w->proc;
    held.unlock();
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
  }
  // Another thread's window: its thread runs the message the next time it looks at its queue,
  // and this one waits, as Windows does.
  auto sent = std::make_shared<SentMessage>(SentMessage{hwnd, msg, wParam, lParam});
  ThreadQueue& target = c.QueueOf(w->threadId);
  target.sent.push_back(sent);
  c.Wake(target);
  c.sentDone.wait(held, [&] { return sent->done || !c.Find(hwnd); });
  return sent->result;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& c = Core();
  std::lock_guard g(c.lock);
  // A thread's own calls give it a queue, as on Windows; another thread's must wait for one.
  if (!c.ExistingQueue(threadId) && threadId != GetCurrentThreadId()) return 0;
  return c.PostTo(threadId, nullptr, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  auto& c = Core();
  std::lock_guard g(c.lock);
  ThreadQueue& q = c.QueueOf(GetCurrentThreadId());
  q.quitPosted = true;
  q.quitCode = exitCode;
  c.Wake(q);
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  auto& c = Core();
  std::unique_lock held(c.lock);
  ThreadQueue& q = c.Look(held, GetCurrentThreadId());
  return c.Take(q, msg, hwnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? 1 : 0;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  auto& c = Core();
  std::unique_lock held(c.lock);
  const DWORD self = GetCurrentThreadId();
  for (;;) {
    ThreadQueue& q = c.Look(held, self);
    if (c.Take(q, msg, hwnd, filterMin, filterMax, true)) {
      q.processing = true;
      c.UpdateBusy(q);
      return msg->message == WM_QUIT ? 0 : 1;
    }
    c.Sleep(held, q, hwnd, filterMin, filterMax);
  }
}

BOOL WaitMessage() {
  auto& c = Core();
  std::unique_lock held(c.lock);
  const DWORD self = GetCurrentThreadId();
  for (;;) {
    ThreadQueue& q = c.Look(held, self);
    if (c.HasWork(q)) return 1;
    const bool owned = c.host && c.host->OwnsThread(self);
    c.Sleep(held, q);
    // Whatever woke the GUI thread (a GTK event, a scripted action) may have changed the state
    // the program waits on, so it gets its next look even when nothing was queued.
    if (owned) return 1;
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  WNDPROC proc;
  {
    std::lock_guard g(Core().lock);
    auto* w = Core().Find(msg->hwnd);
    if (!w) return 0;
    proc = w->proc;
  }
  return proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

BOOL TranslateMessage(const MSG*) { return 0; }

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
  auto& c = Core();
  std::lock_guard g(c.lock);
  DWORD thread = GetCurrentThreadId();
  if (hwnd) {
    auto* w = c.Find(hwnd);
    if (!w) return 0;
    thread = w->threadId;
  } else {
    id = c.nextThreadTimerId++;
  }
  const UINT interval = std::max<UINT>(elapseMs, 10);  // USER_TIMER_MINIMUM
  const std::uint64_t due = c.Now() + interval;
  auto it = std::find_if(c.timers.begin(), c.timers.end(),
                         [&](const TimerRecord& t) { return t.hwnd == hwnd && t.id == id && hwnd; });
  if (it != c.timers.end()) {
    it->interval = interval;
    it->due = due;
  } else {
    c.timers.push_back(TimerRecord{hwnd, id, thread, interval, due});
  }
  c.Wake(c.QueueOf(thread));
  return hwnd ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  auto& c = Core();
  std::lock_guard g(c.lock);
  const auto before = c.timers.size();
  std::erase_if(c.timers, [&](const TimerRecord& t) { return t.hwnd == hwnd && t.id == id; });
  return c.timers.size() != before;
}

}  // namespace plat
