#include "toolkit/CheckBox.h"

#include "toolkit/Guarded.h"

namespace tk {

CheckBox::CheckBox(Component* owner) : WinControl(owner) { SetBounds(0, 0, 97, 17); }

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  if (Peer()) Peer()->SetChecked(checked);
  Click();
}

void CheckBox::PeerValueChanged(int value) {
  Guarded([&] { SetChecked(value != 0); });
}

}  // namespace tk
