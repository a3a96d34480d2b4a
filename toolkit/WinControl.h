#pragma once
// A control with a native peer on its form. The peer is made once the form has its window and
// follows the control's place, visibility, enabling, text and font from then on.
#include <memory>
#include <string>

#include "platform/controls.h"
#include "toolkit/Control.h"

namespace tk {

class WinControl : public Control, protected plat::ControlPeerEvents {
 public:
  explicit WinControl(Component* owner);
  ~WinControl() override;

  bool IsWindowed() const override { return true; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on) { tabStop_ = on; }
  // Position among the windowed controls of the same container; lower first.
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order);
  bool CanFocus() const;
  bool Focused() const;
  void SetFocus();

  bool HandleAllocated() const { return peer_ != nullptr; }
  // Makes the peer if the form has its window (the form calls this when it gets one).
  void CreateHandle();
  void FormWindowMade() override { CreateHandle(); }
  void ContainerMoved() override { BoundsChanged(); }
  void ContainerVisibilityChanged() override { UpdatePeerVisibility(); }

  NotifyEvent OnEnter;
  NotifyEvent OnExit;

 protected:
  virtual plat::ControlKind Kind() const = 0;
  // The peer was made: the control hands it its own state.
  virtual void InitializePeer(plat::ControlPeer& peer) {}
  virtual plat::ControlPeer* GroupPeer() const { return nullptr; }
  plat::ControlPeer* Peer() const { return peer_.get(); }
  void BoundsChanged() override;
  void VisibleChanged() override;
  void EnabledChanged() override;
  void FontChanged() override;
  void ParentChanged() override;
  void PeerFocusChanged(bool focused) override;
  void PeerTabPressed(bool backward) override;
  void UpdatePeerVisibility();

 private:
  friend class ControlContainer;
  std::unique_ptr<plat::ControlPeer> peer_;
  std::string caption_;
  bool tabStop_ = true;
  int tabOrder_ = -1;
};

}  // namespace tk
