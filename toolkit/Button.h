#pragma once
// A push button: OnClick when pressed.
#include "toolkit/WinControl.h"

namespace tk {

class Button : public WinControl {
 public:
  explicit Button(Component* owner);

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::Button; }
  void PeerClicked() override;
};

}  // namespace tk
