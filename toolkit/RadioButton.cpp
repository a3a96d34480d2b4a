#include "toolkit/RadioButton.h"

#include "toolkit/Guarded.h"

namespace tk {

RadioButton::RadioButton(Component* owner) : WinControl(owner) {
  SetBounds(0, 0, 113, 17);
  SetTabStop(false);
}

void RadioButton::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  SetTabStop(checked);
  if (Peer()) Peer()->SetChecked(checked);
  if (!checked) return;
  if (Parent())
    for (Control* c : Parent()->Controls())
      if (auto* other = dynamic_cast<RadioButton*>(c); other && other != this) other->SetChecked(false);
  Click();
}

plat::ControlPeer* RadioButton::GroupPeer() const {
  if (!Parent()) return nullptr;
  for (Control* c : Parent()->Controls())
    if (auto* other = dynamic_cast<RadioButton*>(c); other && other != this && other->Peer()) return other->Peer();
  return nullptr;
}

void RadioButton::PeerValueChanged(int value) {
  Guarded([&] { SetChecked(value != 0); });
}

}  // namespace tk
