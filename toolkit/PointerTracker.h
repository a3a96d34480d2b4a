#pragma once
// The pointer over one form, kept in one place: the control it hovers (mouse enter and leave are
// worked out here and nowhere else), the control that captured it with a press, the hint that
// follows it and the cursor it shows. The form hands it every mouse message; controls tell it
// when they are shown, hidden, moved or going, and it checks the pointer against them again.
#include "platform/wintypes.h"

namespace tk {

class Control;
class Form;

class PointerTracker {
 public:
  explicit PointerTracker(Form& form) : form_(form) {}
  PointerTracker(const PointerTracker&) = delete;
  PointerTracker& operator=(const PointerTracker&) = delete;

  // A mouse message of the form's client area (WM_MOUSEMOVE, button messages, WM_MOUSELEAVE), at
  // client coordinates, with the MK_* keys and buttons held.
  void Mouse(plat::UINT msg, int x, int y, plat::WPARAM keys);
  // Something was shown, hidden or moved: the control under a resting pointer may be another.
  void Recheck();
  // `control` is hidden, leaves its form or is being destroyed: it loses the hover (with its
  // leave) and the capture.
  void ControlGoing(Control* control);
  // `control` shows another cursor now.
  void CursorChanged(Control* control);

  Control* Hovered() const { return hovered_; }

 private:
  void SetHovered(Control* control);
  void ShowCursor();
  void Dispatch(Control* target, plat::UINT msg, int x, int y, plat::WPARAM keys);

  Form& form_;
  Control* hovered_ = nullptr;
  // Implicit capture: the control pressed on gets the moves and the release.
  Control* captured_ = nullptr;
  // A click fires on the release only while the press is still armed.
  bool armed_ = false;
  // Whether the pointer is over the client area, and where it was last.
  bool inside_ = false;
  plat::POINT last_{0, 0};
};

}  // namespace tk
