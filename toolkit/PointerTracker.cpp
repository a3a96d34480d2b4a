#include "toolkit/PointerTracker.h"

#include <utility>

#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Form.h"
#include "toolkit/HintWindow.h"

namespace tk {

void PointerTracker::Mouse(plat::UINT msg, int x, int y, plat::WPARAM keys) {
  last_ = {x, y};
  if (msg == plat::WM_MOUSELEAVE) {
    inside_ = false;
    if (!captured_) SetHovered(nullptr);
    return;
  }
  inside_ = true;
  Control* hit = form_.ControlAtPos(x, y);
  if (!captured_) SetHovered(hit);
  Control* target = captured_ ? captured_ : hit;
  if (!target || !target->Enabled()) {
    if (msg == plat::WM_LBUTTONUP || msg == plat::WM_RBUTTONUP) captured_ = nullptr;
    return;
  }
  Dispatch(target, msg, x, y, keys);
}

void PointerTracker::Dispatch(Control* target, plat::UINT msg, int x, int y, plat::WPARAM keys) {
  const ShiftState shift{(keys & plat::MK_SHIFT) != 0, (keys & plat::MK_CONTROL) != 0, (keys & plat::MK_LBUTTON) != 0,
                         (keys & plat::MK_RBUTTON) != 0};
  const plat::POINT origin = target->FormOrigin();
  const int lx = x - origin.x, ly = y - origin.y;
  const bool inside = lx >= 0 && ly >= 0 && lx < target->Width() && ly < target->Height();
  switch (msg) {
    case plat::WM_MOUSEMOVE:
      target->MouseMove(shift, lx, ly);
      break;
    case plat::WM_LBUTTONDOWN:
    case plat::WM_RBUTTONDOWN:
      captured_ = target;
      armed_ = msg == plat::WM_LBUTTONDOWN;
      target->MouseDown(msg == plat::WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, shift, lx, ly);
      break;
    case plat::WM_LBUTTONDBLCLK:
      captured_ = target;
      armed_ = false;  // the second press of a double click is no click
      target->DblClick();
      target->MouseDown(MouseButton::Left, shift, lx, ly);
      break;
    case plat::WM_LBUTTONUP:
    case plat::WM_RBUTTONUP: {
      captured_ = nullptr;
      const bool click = armed_ && inside && msg == plat::WM_LBUTTONUP;
      armed_ = false;
      if (click) target->Click();
      target->MouseUp(msg == plat::WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right, shift, lx, ly);
      SetHovered(form_.ControlAtPos(x, y));
      break;
    }
    default:
      break;
  }
}

void PointerTracker::Recheck() {
  if (inside_ && !captured_) SetHovered(form_.ControlAtPos(last_.x, last_.y));
}

void PointerTracker::ControlGoing(Control* control) {
  if (captured_ == control) {
    captured_ = nullptr;
    armed_ = false;
  }
  if (hovered_ == control) SetHovered(nullptr);
}

void PointerTracker::CursorChanged(Control* control) {
  if (control == hovered_) ShowCursor();
}

void PointerTracker::ShowCursor() {
  if (plat::FormPeer* peer = form_.NativePeer()) peer->SetCursor(ShapeOf(hovered_ ? hovered_->GetCursor() : Cursor::Default));
}

// Leave goes to the old control before enter goes to the new; the hint follows first each time.
void PointerTracker::SetHovered(Control* control) {
  if (hovered_ == control) return;
  Control* old = std::exchange(hovered_, control);
  ShowCursor();
  HintWindow* hint = App() ? App()->GetHintWindow() : nullptr;
  if (old) {
    if (hint) hint->ControlLeft(old);
    old->HandleMouseLeave();
  }
  // A leave handler may have moved the pointer's target on already.
  if (!control || hovered_ != control) return;
  if (hint) hint->ControlEntered(control, {form_.Left() + last_.x, form_.Top() + last_.y});
  if (hovered_ == control) control->HandleMouseEnter();
}

}  // namespace tk
