#include "toolkit/Form.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/messages.h"
#include "platform/surface.h"
#include "toolkit/Action.h"
#include "toolkit/Application.h"
#include "toolkit/Guarded.h"
#include "toolkit/Screen.h"

namespace tk {

Form::Form(Component* owner) : Component(owner) {
  Application* app = App();
  if (!app || !app->Handle()) throw std::logic_error("forms need an initialised application");
  app->AddForm(this);
}

plat::HWND Form::Handle() { return Peer().Handle(); }

bool Form::Visible() const { return peer_ && peer_->Visible(); }

void Form::Loaded() { Peer(); }

// The native window is made when first needed (normally once the stored layout is in place, so
// it starts out with its name and every stored property).
plat::FormPeer& Form::Peer() {
  if (!peer_) {
    peer_ = plat::CreateFormPeer(*this, App()->Handle(), Name());
    peer_->SetCaption(caption_);
    peer_->SetBorder(borderStyle_, borderIcons_);
    peer_->SetFont(font_);
    ApplyTransparentColor();
    ApplyBounds();
    ApplicationIconChanged();
    // The windowed controls make their peers now, in z-order.
    for (Control* c : std::vector<Control*>(Controls())) c->FormWindowMade();
  }
  return *peer_;
}

Form::~Form() {
  if (App()) App()->RemoveForm(this);
  peer_.reset();
}

void Form::SetCaption(const std::string& caption) {
  caption_ = caption;
  if (peer_) peer_->SetCaption(caption);
}

void Form::SetBorderStyle(BorderStyle style) {
  borderStyle_ = style;
  if (peer_) peer_->SetBorder(borderStyle_, borderIcons_);
}

void Form::SetBorderIcons(BorderIcons icons) {
  borderIcons_ = icons;
  if (peer_) peer_->SetBorder(borderStyle_, borderIcons_);
}

void Form::SetLeft(int left) {
  left_ = left;
  ApplyBounds();
}

void Form::SetTop(int top) {
  top_ = top;
  ApplyBounds();
}

void Form::SetClientWidth(int width) {
  clientWidth_ = width;
  ApplyBounds();
  Realign();
}

void Form::SetClientHeight(int height) {
  clientHeight_ = height;
  ApplyBounds();
  Realign();
}

void Form::ApplyBounds() {
  if (peer_) peer_->SetBounds(left_, top_, clientWidth_, clientHeight_);
}

void Form::SetColor(Color color) {
  color_ = color;
  Invalidate();
}

void Form::SetTransparentColor(bool on) {
  transparentColor_ = on;
  ApplyTransparentColor();
}

void Form::SetTransparentColorValue(Color color) {
  transparentColorValue_ = color;
  ApplyTransparentColor();
}

void Form::ApplyTransparentColor() {
  if (!peer_) return;
  peer_->SetTransparentColor(transparentColor_ ? std::optional<plat::COLORREF>(ColorToRGB(transparentColorValue_))
                                               : std::nullopt);
}

namespace {

void TellFontChanged(ControlContainer& container);

}  // namespace

void Form::SetFont(const Font& font) {
  font_ = font;
  if (peer_) peer_->SetFont(font);
  TellFontChanged(*this);
  Invalidate();
}

void Form::SetIcon(const plat::IconImage& icon) {
  icon_ = icon;
  ApplicationIconChanged();
}

void Form::ApplicationIconChanged() {
  if (!peer_) return;
  if (!icon_.Empty())
    peer_->SetIcon(icon_);
  else if (App())
    peer_->SetIcon(App()->Icon());
}

void Form::Show() {
  // Centred on the screen as it is now: the display mode may have changed since loading.
  if (position_ == Position::ScreenCenter) CenterOnScreen();
  Peer().Show();
}

// The whole window, its frame included, stands in the middle of the screen.
void Form::CenterOnScreen() {
  const plat::RECT frame = Peer().FrameExtents();
  left_ = (TheScreen().Width() - (clientWidth_ + frame.left + frame.right)) / 2;
  top_ = (TheScreen().Height() - (clientHeight_ + frame.top + frame.bottom)) / 2;
  ApplyBounds();
}

void Form::PeerFrameChanged() {
  if (position_ == Position::ScreenCenter && Visible()) CenterOnScreen();
}

void Form::Hide() {
  if (peer_) peer_->Hide();
}

void Form::Close() {
  CloseAction action = (App() && App()->MainForm() == this) ? CloseAction::Free : CloseAction::Hide;
  Fire(OnClose, this, action);
  if (action == CloseAction::None) return;
  if (App() && App()->MainForm() == this) {
    App()->Terminate();
    return;
  }
  switch (action) {
    case CloseAction::Hide: Hide(); break;
    case CloseAction::Minimize: plat::ShowWindow(Handle(), plat::SW_MINIMIZE); break;
    case CloseAction::Free: Release(); break;
    case CloseAction::None: break;
  }
}

void Form::Release() {
  if (App()) App()->ReleaseForm(this);
}

void Form::UpdateActions() {
  auto owned = Components();
  for (Component* c : owned)
    if (auto* action = dynamic_cast<BasicAction*>(c)) action->Update();
}

void Form::PeerCloseRequested() {
  Guarded([&] { Close(); });
}

void Form::InvalidateArea(const plat::RECT& area) {
  const plat::RECT visible = plat::RectIntersection(area, {0, 0, clientWidth_, clientHeight_});
  if (peer_ && !plat::RectEmpty(visible)) peer_->Invalidate(visible);
}

void Form::PaintPending() {
  if (peer_) peer_->Update();
}

// The one paint of the client area: the background, then the controls, back to front, as far as
// they reach into `dirty`; the surface shows what lies outside it already.
void Form::PeerPaint(plat::Surface& surface, const plat::RECT& dirty) {
  Canvas canvas(surface);
  canvas.ClipRect(dirty);
  // Smoothed text on a colour-keyed window blends with the key colour: crisp text has no fringe.
  canvas.SetAntialiasText(!transparentColor_);
  // The background only where no opaque control covers all of it.
  bool covered = false;
  for (Control* c : Controls())
    covered = covered || (c->Visible() && c->Opaque() && c->Left() <= dirty.left && c->Top() <= dirty.top &&
                          c->Left() + c->Width() >= dirty.right && c->Top() + c->Height() >= dirty.bottom);
  if (!covered) {
    canvas.GetBrush().color = color_;
    canvas.FillRect(dirty);
  }
  canvas.SetFont(font_);
  PaintControls(canvas, dirty);
}

void Form::ControlRemoved(Control* control) {
  pointer_.ControlGoing(control);
  if (activeControl_ == control) activeControl_ = nullptr;
}

void Form::PeerMouse(plat::UINT msg, int x, int y, plat::WPARAM keys) {
  Guarded([&] { pointer_.Mouse(msg, x, y, keys); });
}

void Form::SetActiveControl(WinControl* control) {
  if (activeControl_ == control) return;
  WinControl* old = std::exchange(activeControl_, control);
  if (old) Fire(old->OnExit, old);
  if (control) Fire(control->OnEnter, control);
}

namespace {

// Focusable windowed controls of `container` in tab order, depth first.
void CollectTabStops(ControlContainer& container, std::vector<WinControl*>& out) {
  std::vector<WinControl*> windowed;
  for (Control* c : container.Controls())
    if (c->IsWindowed())
      if (auto* w = static_cast<WinControl*>(c); w->CanFocus()) windowed.push_back(w);
  std::stable_sort(windowed.begin(), windowed.end(), [](auto* a, auto* b) { return a->TabOrder() < b->TabOrder(); });
  for (WinControl* w : windowed) {
    if (w->TabStop()) out.push_back(w);
    if (ControlContainer* inner = w->AsContainer()) CollectTabStops(*inner, out);
  }
}

}  // namespace

void Form::SelectNext(bool forward) {
  std::vector<WinControl*> stops;
  CollectTabStops(*this, stops);
  if (stops.empty()) return;
  const auto n = static_cast<int>(stops.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (stops[i] == activeControl_) at = i;
  const int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
  stops[next]->SetFocus();
}

namespace {

void TellFontChanged(ControlContainer& container) {
  for (Control* c : container.Controls()) c->ParentFontChanged();
}

}  // namespace

void Form::PeerActivated() {
  TheScreen().SetActiveForm(this);
  Fire(OnActivate, this);
}

}  // namespace tk
