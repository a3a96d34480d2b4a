// The client's drawing of a window, seen through DAMAGE: the window is exposed afresh, so that
// its client draws it again once it has handled every event sent before, and the wait ends when
// that drawing has come and then nothing more for a quiet span.
#pragma once

#include "Connection.h"

namespace xdrive {

enum class Drawn { kYes, kGone, kTimedOut, kNoDamage };

// Exposes window `w` and waits until its client has drawn it and then nothing for `quiet`
// (zero: the first drawing is enough), or `deadline`.
Drawn WaitDrawn(Connection& c, Window w, Clock::duration quiet, Clock::time_point deadline);

}  // namespace xdrive
