#include "toolkit/GroupBox.h"

#include "toolkit/Form.h"

namespace tk {

GroupBox::GroupBox(Component* owner) : WinControl(owner) {
  SetBounds(0, 0, 185, 105);
  SetTabStop(false);
}

void GroupBox::FontChanged() {
  WinControl::FontChanged();
  for (Control* c : Controls()) c->ParentFontChanged();
}

}  // namespace tk
