#include "toolkit/WinControl.h"

#include <algorithm>

#include "toolkit/Form.h"
#include "toolkit/Guarded.h"

namespace tk {

WinControl::WinControl(Component* owner) : Control(owner) {}

WinControl::~WinControl() {
  if (Form* form = ParentForm()) form->ControlRemoved(this);
  peer_.reset();
}

void WinControl::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  if (peer_) peer_->SetText(caption_);
  Invalidate();
}

void WinControl::CreateHandle() {
  if (peer_ || !Parent()) return;
  Form* form = ParentForm();
  if (!form || !form->NativePeer()) return;
  peer_ = plat::CreateControlPeer(Kind(), *this, *form->NativePeer(), Name(), GroupPeer());
  peer_->SetText(caption_);
  peer_->SetFont(GetFont());
  peer_->SetEnabled(Enabled());
  BoundsChanged();
  InitializePeer(*peer_);
  UpdatePeerVisibility();
  // Children of a windowed container come after it, so they lie above it.
  if (ControlContainer* inner = AsContainer())
    for (Control* c : inner->Controls()) c->FormWindowMade();
}

void WinControl::BoundsChanged() {
  if (!peer_) return;
  const plat::POINT o = FormOrigin();
  peer_->SetBounds(o.x, o.y, Width(), Height());
  if (ControlContainer* inner = AsContainer())
    for (Control* c : inner->Controls()) c->ContainerMoved();
}

void WinControl::UpdatePeerVisibility() {
  if (peer_) {
    bool shown = Visible();
    for (ControlContainer* p = Parent(); shown && p; p = nullptr)
      if (Control* c = p->AsControl()) shown = c->Visible();
    peer_->SetVisible(shown);
  }
  if (ControlContainer* inner = AsContainer())
    for (Control* c : inner->Controls()) c->ContainerVisibilityChanged();
}

void WinControl::VisibleChanged() { UpdatePeerVisibility(); }

void WinControl::EnabledChanged() {
  if (peer_) peer_->SetEnabled(Enabled());
}

void WinControl::FontChanged() {
  if (peer_) peer_->SetFont(GetFont());
}

void WinControl::ParentChanged() {
  if (Parent()) {
    int count = 0;
    for (Control* c : Parent()->Controls())
      if (c != this && c->IsWindowed()) ++count;
    tabOrder_ = count;
    CreateHandle();
  } else {
    peer_.reset();
  }
}

void WinControl::SetTabOrder(int order) {
  if (!Parent()) {
    tabOrder_ = order;
    return;
  }
  std::vector<WinControl*> siblings;
  for (Control* c : Parent()->Controls())
    if (c != this && c->IsWindowed()) siblings.push_back(static_cast<WinControl*>(c));
  std::stable_sort(siblings.begin(), siblings.end(), [](auto* a, auto* b) { return a->tabOrder_ < b->tabOrder_; });
  order = std::clamp(order, 0, static_cast<int>(siblings.size()));
  siblings.insert(siblings.begin() + order, this);
  for (int i = 0; i < static_cast<int>(siblings.size()); ++i) siblings[i]->tabOrder_ = i;
}

bool WinControl::CanFocus() const {
  if (!Visible() || !Enabled()) return false;
  for (ControlContainer* p = Parent(); p;) {
    Control* c = p->AsControl();
    if (!c) break;
    if (!c->Visible() || !c->Enabled()) return false;
    p = c->Parent();
  }
  return true;
}

bool WinControl::Focused() const {
  Form* form = ParentForm();
  return form && form->ActiveControl() == this;
}

void WinControl::SetFocus() {
  Form* form = ParentForm();
  if (!form || !CanFocus()) return;
  form->SetActiveControl(this);
  if (peer_) peer_->SetFocus();
}

void WinControl::PeerFocusChanged(bool focused) {
  Guarded([&] {
    Form* form = ParentForm();
    if (focused && form) form->SetActiveControl(this);
  });
}

void WinControl::PeerTabPressed(bool backward) {
  Guarded([&] {
    if (Form* form = ParentForm()) form->SelectNext(!backward);
  });
}

}  // namespace tk
