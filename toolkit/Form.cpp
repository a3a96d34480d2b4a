#include "toolkit/Form.h"

#include <stdexcept>

#include "platform/messages.h"
#include "platform/surface.h"
#include "toolkit/Action.h"
#include "toolkit/HintWindow.h"
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
    peer_->SetColor(ColorToRGB(color_));
    peer_->SetFont(font_);
    ApplyTransparentColor();
    ApplyBounds();
    ApplicationIconChanged();
    std::vector<WinControl*> windowed;
    for (Control* c : Controls())
      if (auto* w = dynamic_cast<WinControl*>(c)) windowed.push_back(w);
    for (WinControl* w : windowed) w->CreateHandle();
  }
  return *peer_;
}

Form::~Form() {
  hovered_ = captured_ = nullptr;
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
  if (peer_) peer_->SetColor(ColorToRGB(color));
  InvalidateContainer();
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
  InvalidateContainer();
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
  if (position_ == Position::ScreenCenter) {
    // Centred on the screen as it is now: the display mode may have changed since loading.
    left_ = (TheScreen().Width() - clientWidth_) / 2;
    top_ = (TheScreen().Height() - clientHeight_) / 2;
    ApplyBounds();
  }
  Peer().Show();
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
  try {
    Close();
  } catch (const std::exception& e) {
    if (App()) App()->HandleException(e);
  }
}

void Form::InvalidateContainer() {
  if (peer_) peer_->Invalidate();
}

void Form::Update() {
  // Every backend paints invalidated windows before it next waits for input.
  InvalidateContainer();
}

void Form::PeerPaint(plat::Surface& surface) {
  Canvas canvas(surface);
  // The background only where no opaque control covers all of it.
  bool covered = false;
  for (Control* c : Controls())
    covered = covered || (c->Visible() && c->Opaque() && c->Left() <= 0 && c->Top() <= 0 &&
                          c->Left() + c->Width() >= clientWidth_ && c->Top() + c->Height() >= clientHeight_);
  if (!covered) {
    canvas.GetBrush().color = color_;
    canvas.FillRect({0, 0, clientWidth_, clientHeight_});
  }
  canvas.SetFont(font_);
  PaintControls(canvas);
}

void Form::ControlRemoved(Control* control) {
  if (captured_ == control) captured_ = nullptr;
  if (activeControl_ == control) activeControl_ = nullptr;
  if (hovered_ == control) {
    hovered_ = nullptr;
    HintControlLeft(control);
  }
}

void Form::HintControlEntered(Control* control) {
  if (App() && App()->GetHintWindow())
    App()->GetHintWindow()->ControlEntered(control, {left_ + lastMouse_.x, top_ + lastMouse_.y});
}

void Form::HintControlLeft(Control* control) {
  if (App() && App()->GetHintWindow()) App()->GetHintWindow()->ControlLeft(control);
}

void Form::UpdateCursor() {
  if (peer_) peer_->SetCursor(ShapeOf(hovered_ ? hovered_->GetCursor() : Cursor::Default));
}

// Enter and leave are worked out here only: the control under the mouse changed.
void Form::SetHovered(Control* control) {
  if (hovered_ == control) return;
  Control* old = std::exchange(hovered_, control);
  UpdateCursor();
  if (old) old->HandleMouseLeave();
  if (hovered_ && hovered_ == control) hovered_->HandleMouseEnter();
}

void Form::PeerMouse(plat::UINT msg, int x, int y, plat::WPARAM keys) {
  try {
    lastMouse_ = {x, y};
    const ShiftState shift{(keys & plat::MK_SHIFT) != 0, (keys & plat::MK_CONTROL) != 0,
                           (keys & plat::MK_LBUTTON) != 0, (keys & plat::MK_RBUTTON) != 0};
    if (msg == plat::WM_MOUSELEAVE) {
      if (!captured_) SetHovered(nullptr);
      return;
    }
    Control* hit = ControlAtPos(x, y);
    if (!captured_) SetHovered(hit);
    Control* target = captured_ ? captured_ : hit;
    if (!target || !target->Enabled()) {
      if (msg == plat::WM_LBUTTONUP || msg == plat::WM_RBUTTONUP) captured_ = nullptr;
      return;
    }
    const plat::POINT origin = target->FormOrigin();
    const int lx = x - origin.x, ly = y - origin.y;
    const bool inside = lx >= 0 && ly >= 0 && lx < target->Width() && ly < target->Height();
    switch (msg) {
      case plat::WM_MOUSEMOVE:
        target->MouseMove(shift, lx, ly);
        break;
      case plat::WM_LBUTTONDOWN:
      case plat::WM_RBUTTONDOWN:
        captured_ = target;
        armed_ = msg == plat::WM_LBUTTONDOWN;
        target->MouseDown(msg == plat::WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right, shift, lx, ly);
        break;
      case plat::WM_LBUTTONDBLCLK:
        captured_ = target;
        armed_ = false;  // the second press of a double click is no click
        target->DblClick();
        target->MouseDown(MouseButton::Left, shift, lx, ly);
        break;
      case plat::WM_LBUTTONUP:
      case plat::WM_RBUTTONUP: {
        captured_ = nullptr;
        const bool click = armed_ && inside && msg == plat::WM_LBUTTONUP;
        armed_ = false;
        if (click) target->Click();
        target->MouseUp(msg == plat::WM_LBUTTONUP ? MouseButton::Left : MouseButton::Right, shift, lx, ly);
        SetHovered(ControlAtPos(x, y));
        break;
      }
      default:
        break;
    }
  } catch (const std::exception& e) {
    if (App()) App()->HandleException(e);
  }
}

void Form::SetActiveControl(WinControl* control) {
  if (activeControl_ == control) return;
  WinControl* old = std::exchange(activeControl_, control);
  if (old) Fire(old->OnExit, old);
  if (control) Fire(control->OnEnter, control);
}

void Form::SelectNext(bool forward) {
  std::vector<Control*> stops;
  CollectTabStops(stops);
  if (stops.empty()) return;
  const auto n = static_cast<int>(stops.size());
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (stops[i] == activeControl_) at = i;
  const int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
  static_cast<WinControl*>(stops[next])->SetFocus();
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
