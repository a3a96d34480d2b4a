#include "platform/linux/WaylandConnection.h"

#include <glib-unix.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace plat::wl {

namespace {

void OnGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface, std::uint32_t version) {
  static_cast<std::vector<Global>*>(data)->push_back({name, interface, version});
}

void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
  std::erase_if(*static_cast<std::vector<Global>*>(data), [&](const Global& g) { return g.name == name; });
}

const wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

void OnSyncDone(void* data, wl_callback* callback, std::uint32_t) {
  *static_cast<bool*>(data) = true;
  wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener{OnSyncDone};

// The first look at the compositor: it has this long to list its globals.
constexpr DWORD kConnectTimeoutMs = 2000;

}  // namespace

std::unique_ptr<Connection> Connection::Open() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<Connection> c(new Connection(display));
  c->registry_ = wl_display_get_registry(display);
  wl_registry_add_listener(c->registry_, &kRegistryListener, &c->globals_);
  if (!c->Roundtrip(desk::AnswerDeadline(kConnectTimeoutMs), false)) return nullptr;
  return c;
}

Connection::Connection(wl_display* display) : display_(display) {
  watch_ = g_unix_fd_add(wl_display_get_fd(display_), static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                         reinterpret_cast<GUnixFDSourceFunc>(&Connection::OnReadable), this);
}

Connection::~Connection() {
  if (watch_) g_source_remove(watch_);
  if (registry_) wl_registry_destroy(registry_);
  wl_display_disconnect(display_);
}

const Global* Connection::Find(const char* interface) const {
  auto it = std::find_if(globals_.begin(), globals_.end(), [&](const Global& g) { return g.interface == interface; });
  return it == globals_.end() ? nullptr : &*it;
}

std::vector<Global> Connection::FindAll(const char* interface) const {
  std::vector<Global> found;
  std::copy_if(globals_.begin(), globals_.end(), std::back_inserter(found),
               [&](const Global& g) { return g.interface == interface; });
  return found;
}

void* Connection::Bind(const Global& global, const wl_interface* interface, std::uint32_t maxVersion) {
  return wl_registry_bind(registry_, global.name, interface, std::min(global.version, maxVersion));
}

int Connection::OnReadable(int, unsigned, void* self) {
  auto* c = static_cast<Connection*>(self);
  c->ReadEvents(0);
  desk::WakeAnswerWait();
  if (!c->broken_) return G_SOURCE_CONTINUE;
  c->watch_ = 0;
  return G_SOURCE_REMOVE;
}

// Never blocks past `timeoutMs`: what made the socket readable may already have been read by a
// wait nested inside another event's handler.
void Connection::ReadEvents(unsigned timeoutMs) {
  if (broken_) return;
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) {
      broken_ = true;
      return;
    }
  }
  wl_display_flush(display_);
  pollfd p{wl_display_get_fd(display_), POLLIN, 0};
  const int ready = ::poll(&p, 1, static_cast<int>(timeoutMs));
  if (ready > 0 && (p.revents & POLLIN)) {
    if (wl_display_read_events(display_) < 0) broken_ = true;
  } else {
    wl_display_cancel_read(display_);
    if (ready > 0) broken_ = true;  // hung up
  }
  if (!broken_ && wl_display_dispatch_pending(display_) < 0) broken_ = true;
}

bool Connection::WaitFor(const std::function<bool()>& answered, const desk::AnswerDeadline& deadline, bool runLoop) {
  if (broken_) return false;
  if (wl_display_flush(display_) < 0 || wl_display_dispatch_pending(display_) < 0) broken_ = true;
  const auto done = [&] { return broken_ || answered(); };
  const auto block = [&](DWORD ms) { ReadEvents(ms); };
  if (runLoop) {
    desk::AwaitAnswer(done, deadline, block);
  } else {
    while (!done() && !deadline.Passed()) block(deadline.RemainingMs());
  }
  return !broken_ && answered();
}

bool Connection::Roundtrip(const desk::AnswerDeadline& deadline, bool runLoop) {
  bool done = false;
  wl_callback* sync = wl_display_sync(display_);
  wl_callback_add_listener(sync, &kSyncListener, &done);
  if (WaitFor([&] { return done; }, deadline, runLoop)) return true;
  // The callback may still come; it must not write to `done` any more.
  static bool late = false;
  if (!done && !broken_) wl_proxy_set_user_data(reinterpret_cast<wl_proxy*>(sync), &late);
  return false;
}

}  // namespace plat::wl
