#pragma once
// A radio button: checking one unchecks the other radio buttons of its container. Only the
// checked one of a group is a tab stop, so the keyboard reaches the group once.
#include "toolkit/WinControl.h"

namespace tk {

class RadioButton : public WinControl {
 public:
  explicit RadioButton(Component* owner);

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::RadioButton; }
  void InitializePeer(plat::ControlPeer& peer) override { peer.SetChecked(checked_); }
  plat::ControlPeer* GroupPeer() const override;
  void PeerValueChanged(int value) override;

 private:
  bool checked_ = false;
};

}  // namespace tk
