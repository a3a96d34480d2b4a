#pragma once
// A check box. Changing Checked, by the user or by the program, raises OnClick.
#include "toolkit/WinControl.h"

namespace tk {

class CheckBox : public WinControl {
 public:
  explicit CheckBox(Component* owner);

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::CheckBox; }
  void InitializePeer(plat::ControlPeer& peer) override { peer.SetChecked(checked_); }
  void PeerValueChanged(int value) override;

 private:
  bool checked_ = false;
};

}  // namespace tk
