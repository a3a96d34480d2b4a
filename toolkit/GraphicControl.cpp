#include "toolkit/GraphicControl.h"

#include "toolkit/PointerTracker.h"

namespace tk {

GraphicControl::~GraphicControl() {
  if (PointerTracker* pointer = FormPointer()) pointer->ControlGoing(this);
}

void GraphicControl::MouseEnter() { Fire(OnMouseEnter, this); }
void GraphicControl::MouseLeave() { Fire(OnMouseLeave, this); }

}  // namespace tk
