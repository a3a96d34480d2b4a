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
  // Why the last call did not end in kDone.
  const std::string& Problem() const { return problem_; }

 private:
  Connection& c_;
  std::string problem_;
};

}  // namespace xdrive
