// Input through XTest, sent only when the window that should take it is ready: a click once the
// pointer's entry into the window has been delivered (so the client knows where the pointer is
// before the press), keys once the window has the focus.
#pragma once

#include <string>
#include <vector>

#include "Connection.h"

namespace xdrive {

enum class InputResult { kDone, kGone, kTimedOut };

class Input {
 public:
  explicit Input(Connection& c);

  // Moves the pointer to (x, y) on the screen.
  void MoveTo(int x, int y);
  // Moves the pointer into window `w` at (x, y) of its inside, entering it from outside, and waits
  // until the server has delivered the entry (also to the window's client, in order with what follows).
  // Waits while another window covers that point.
  InputResult Enter(Window w, int x, int y, Clock::time_point deadline);
  // Presses and releases `button` where the pointer is.
  void Click(int button);
  // Gives window `w` the focus and waits until it is told so.
  InputResult Focus(Window w, Clock::time_point deadline);
  // Presses and releases each key (keysym names: Down, Return, Tab, a, ...); false on a name
  // that is not a key.
  bool Keys(const std::vector<std::string>& names);
  // Asks the client of window `w` (or of its top-level window) to answer a ping (_NET_WM_PING):
  // its answer comes after it has handled all the input sent before. False when it does not
  // take pings.
  bool Ping(Window w);
  // Whether the client answered the last ping.
  bool Answered() const { return answered_; }
  // Why the last call did not end in kDone.
  const std::string& Problem() const { return problem_; }

 private:
  bool TakesPings(Window w);

  Connection& c_;
  std::string problem_;
  long ping_ = 0;
  bool answered_ = false;
  Connection::Handler on_pong_;
};

}  // namespace xdrive
