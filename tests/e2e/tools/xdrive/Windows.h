// The windows on the screen as the server has them now, and the choice of a window by title,
// class and size.
#pragma once

#include <regex.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Connection.h"

namespace xdrive {

struct WindowInfo {
  Window id = 0;
  Window top = 0;  // the child of the root it belongs to (itself for a top-level window)
  bool viewable = false;
  bool override_redirect = false;
  int x = 0, y = 0, width = 0, height = 0;  // the inside of the window, on the screen
  std::string title;                       // only for viewable windows
  std::string instance, cls;               // WM_CLASS, only for viewable windows
};

// Every window below the root, depth first in stacking order (the last is the topmost), each one
// selected for the events that change it. Windows that vanish during the scan are left out.
std::vector<WindowInfo> ScanWindows(Connection& c);

// The window `w` as it is now; nothing when it is gone.
std::optional<WindowInfo> Describe(Connection& c, Window w);

struct Size {
  int width = 0, height = 0;
};
bool ParseSize(const std::string& text, Size& size);  // "WxH"

// What a window must be: viewable, and every criterion given.
class Selector {
 public:
  Selector() = default;
  ~Selector();
  Selector(const Selector&) = delete;
  Selector& operator=(const Selector&) = delete;

  // Takes the option at args[i] (and its value) if it is one of the selector's; false otherwise.
  // Sets `error` on a malformed value.
  bool Take(const std::vector<std::string>& args, size_t& i, std::string& error);
  bool Empty() const { return text_.empty(); }
  bool Matches(const WindowInfo& w) const;
  // The topmost viewable window that matches, or nothing.
  std::optional<WindowInfo> Topmost(const std::vector<WindowInfo>& windows) const;
  const std::string& Text() const { return text_; }  // the options as given, for messages

 private:
  std::optional<regex_t> title_, class_;
  std::optional<Size> size_, min_, max_;
  std::optional<std::array<int, 4>> inside_;  // x, y, width, height
  std::vector<Size> not_sizes_;
  std::string text_;
};

}  // namespace xdrive
