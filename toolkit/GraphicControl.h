#pragma once
// A control without a native window: its container paints it (Paint) in z-order, and it reports
// the mouse entering and leaving it.
#include "toolkit/Control.h"
#include "toolkit/Events.h"

namespace tk {

class GraphicControl : public Control {
 public:
  using Control::Control;
  // Still whole here: a control going from under the pointer gets its leave before it goes.
  ~GraphicControl() override;

  void HandleMouseEnter() override { MouseEnter(); }
  void HandleMouseLeave() override { MouseLeave(); }

  NotifyEvent OnMouseEnter;
  NotifyEvent OnMouseLeave;

 protected:
  // Raise OnMouseEnter and OnMouseLeave; a control that wants more on enter or leave adds it here.
  virtual void MouseEnter();
  virtual void MouseLeave();
};

}  // namespace tk
