#include "Drawing.h"

#include <X11/extensions/Xdamage.h>

#include "Windows.h"

namespace xdrive {

Drawn WaitDrawn(Connection& c, Window w, Clock::duration quiet, Clock::time_point deadline) {
  if (!c.HasDamage()) return Drawn::kNoDamage;
  Clock::time_point last_drawn{};
  bool drawn = false, gone = false;
  auto on_damage = c.OnEvent([&](const XEvent& e) {
    if (e.type == c.DamageEventBase() + XDamageNotify) {
      drawn = true;
      last_drawn = Clock::now();
      XDamageSubtract(c.Dpy(), reinterpret_cast<const XDamageNotifyEvent&>(e).damage, None, None);
    }
  });
  Damage damage = XDamageCreate(c.Dpy(), w, XDamageReportNonEmpty);
  XClearArea(c.Dpy(), w, 0, 0, 0, 0, True);  // the client draws it all again
  bool ok = c.WaitUntil(deadline, [&] {
    if (c.TakeErrors() && !Describe(c, w)) return gone = true;
    if (!drawn) return false;
    auto quiet_from = last_drawn + quiet;
    if (Clock::now() >= quiet_from) return true;
    c.WakeAt(quiet_from);
    return false;
  });
  XDamageDestroy(c.Dpy(), damage);
  c.TakeErrors();
  if (gone) return Drawn::kGone;
  return ok ? Drawn::kYes : Drawn::kTimedOut;
}

}  // namespace xdrive
