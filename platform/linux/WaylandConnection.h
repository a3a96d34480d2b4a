#pragma once
// A connection of the display-mode service's own to the Wayland compositor (never GTK's, which
// is XWayland's X connection here anyway). Its events are read whenever the GLib loop runs, so
// the state its listeners keep follows the compositor between requests.
#include <wayland-client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/shared/DisplayAnswerWait.h"

namespace plat::wl {

struct Global {
  std::uint32_t name;
  std::string interface;
  std::uint32_t version;
};

class Connection {
 public:
  // Null when $WAYLAND_DISPLAY names no compositor that answers.
  static std::unique_ptr<Connection> Open();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const Global* Find(const char* interface) const;
  // Every global of that interface (one per output for some), as the compositor lists them now.
  std::vector<Global> FindAll(const char* interface) const;
  // Binds a global at the lower of its version and `maxVersion`.
  void* Bind(const Global& global, const wl_interface* interface, std::uint32_t maxVersion);

  // Sends what is queued and waits until `answered` or the deadline, dispatching events; the
  // program's loop runs meanwhile when `runLoop`. False also when the connection broke.
  bool WaitFor(const std::function<bool()>& answered, const desk::AnswerDeadline& deadline, bool runLoop);
  // Waits until the compositor has handled everything sent so far and its events are dispatched.
  bool Roundtrip(const desk::AnswerDeadline& deadline, bool runLoop);

  bool Broken() const { return broken_; }

 private:
  explicit Connection(wl_display* display);
  void ReadEvents(unsigned timeoutMs);
  static int OnReadable(int fd, unsigned condition, void* self);

  wl_display* display_;
  wl_registry* registry_ = nullptr;
  std::vector<Global> globals_;
  unsigned watch_ = 0;
  bool broken_ = false;
};

}  // namespace plat::wl
