#include "toolkit/Control.h"

#include <algorithm>

#include "toolkit/PointerTracker.h"

namespace tk {

// --- ControlContainer ---

ControlContainer::~ControlContainer() {
  // Children outliving their container (owned elsewhere) are left without a parent.
  for (Control* c : controls_) c->parent_ = nullptr;
}

void ControlContainer::InsertControl(Control* control) { controls_.push_back(control); }

void ControlContainer::RemoveControl(Control* control) { std::erase(controls_, control); }

void ControlContainer::Realign() {
  plat::RECT room{0, 0, ClientWidth(), ClientHeight()};
  for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (Control* c : controls_) {
      if (!c->Visible() || c->GetAlign() != pass) continue;
      const int w = c->Width(), h = c->Height();
      switch (pass) {
        case Align::Top:
          c->SetBounds(room.left, room.top, room.right - room.left, h);
          room.top += h;
          break;
        case Align::Bottom:
          c->SetBounds(room.left, room.bottom - h, room.right - room.left, h);
          room.bottom -= h;
          break;
        case Align::Left:
          c->SetBounds(room.left, room.top, w, room.bottom - room.top);
          room.left += w;
          break;
        case Align::Right:
          c->SetBounds(room.right - w, room.top, w, room.bottom - room.top);
          room.right -= w;
          break;
        case Align::Client:
          c->SetBounds(room.left, room.top, std::max<int>(room.right - room.left, 0), std::max<int>(room.bottom - room.top, 0));
          break;
        case Align::None: break;
      }
    }
  }
}

void ControlContainer::PaintControls(Canvas& canvas, const plat::RECT& dirty) {
  // Graphic controls first, in z-order; windowed ones lie above them all.
  for (Control* c : controls_) {
    if (!c->Visible() || c->IsWindowed() || plat::RectEmpty(plat::RectIntersection(c->BoundsRect(), dirty))) continue;
    CanvasState state(canvas);
    canvas.ClipRect(c->BoundsRect());
    canvas.Translate(c->Left(), c->Top());
    c->Paint(canvas);
  }
  for (Control* c : controls_) {
    ControlContainer* inner = c->AsContainer();
    if (!inner || !c->Visible()) continue;
    const plat::RECT innerDirty = plat::RectIntersection(c->BoundsRect(), dirty);
    if (plat::RectEmpty(innerDirty)) continue;
    CanvasState state(canvas);
    canvas.ClipRect(c->BoundsRect());
    const plat::POINT mine = ClientOrigin(), theirs = inner->ClientOrigin();
    const int dx = theirs.x - mine.x, dy = theirs.y - mine.y;
    canvas.Translate(dx, dy);
    inner->PaintControls(canvas, plat::RectOffset(innerDirty, -dx, -dy));
  }
}

Control* ControlContainer::ControlAtPos(int x, int y) {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    Control* c = *it;
    if (!c->Visible() || x < c->Left() || y < c->Top() || x >= c->Left() + c->Width() || y >= c->Top() + c->Height())
      continue;
    if (ControlContainer* inner = c->AsContainer()) {
      const plat::POINT mine = ClientOrigin(), theirs = inner->ClientOrigin();
      if (Control* deeper = inner->ControlAtPos(x + mine.x - theirs.x, y + mine.y - theirs.y)) return deeper;
    }
    return c;
  }
  return nullptr;
}

plat::CursorShape ShapeOf(Cursor cursor) {
  switch (cursor) {
    case Cursor::HandPoint: return plat::CursorShape::HandPoint;
    case Cursor::IBeam: return plat::CursorShape::IBeam;
    case Cursor::Wait: return plat::CursorShape::Wait;
    case Cursor::Default:
    case Cursor::Arrow: break;
  }
  return plat::CursorShape::Arrow;
}

// --- Control ---

Control::Control(Component* owner) : Component(owner) {}

Control::~Control() { SetParent(nullptr); }

void Control::SetParent(ControlContainer* parent) {
  if (parent_ == parent) return;
  if (parent_) {
    Invalidate();
    parent_->ChildGoing(this);
    PointerTracker* pointer = FormPointer();
    parent_->RemoveControl(this);
    if (pointer) pointer->Recheck();
  }
  parent_ = parent;
  if (parent_) {
    parent_->InsertControl(this);
    if (align_ != Align::None) parent_->Realign();
    Invalidate();
    if (PointerTracker* pointer = FormPointer()) pointer->Recheck();
  }
  ParentChanged();
  FontChanged();
}

Form* Control::ParentForm() const { return parent_ ? parent_->ContainerForm() : nullptr; }

plat::POINT Control::FormOrigin() const {
  plat::POINT p{left_, top_};
  if (parent_) {
    const plat::POINT o = parent_->ClientOrigin();
    p.x += o.x;
    p.y += o.y;
  }
  return p;
}

void Control::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  BoundsChanged();
  if (ControlContainer* inner = AsContainer()) inner->Realign();
  if (PointerTracker* pointer = FormPointer(); pointer && visible_) pointer->Recheck();
}

void Control::SetAlign(Align align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void Control::SetVisible(bool visible) {
  if (visible_ == visible) return;
  if (!visible) Invalidate();
  visible_ = visible;
  if (visible) Invalidate();
  VisibleChanged();
  if (parent_ && align_ != Align::None) parent_->Realign();
  if (parent_ && !visible) parent_->ChildGoing(this);
  if (PointerTracker* pointer = FormPointer()) pointer->Recheck();
}

void Control::SetCursor(Cursor cursor) {
  cursor_ = cursor;
  if (PointerTracker* pointer = FormPointer()) pointer->CursorChanged(this);
}

void Control::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  EnabledChanged();
}

bool Control::ShowHint() const {
  if (parentShowHint_) return parent_ ? parent_->ShowHint() : false;
  return showHint_;
}

void Control::SetShowHint(bool show) {
  showHint_ = show;
  parentShowHint_ = false;
}

const plat::FontSpec& Control::GetFont() const { return parentFont_ && parent_ ? parent_->GetFont() : font_; }

void Control::SetFont(const plat::FontSpec& font) {
  font_ = font;
  parentFont_ = false;
  FontChanged();
}

void Control::SetParentFont(bool on) {
  if (parentFont_ == on) return;
  if (!on && parent_) font_ = parent_->GetFont();
  parentFont_ = on;
  FontChanged();
}

Color Control::GetColor() const { return parentColor_ && parent_ ? parent_->GetColor() : color_; }

void Control::SetColor(Color color) {
  color_ = color;
  parentColor_ = false;
  Invalidate();
}

void Control::SetParentColor(bool on) {
  parentColor_ = on;
  Invalidate();
}

void Control::ParentFontChanged() {
  if (parentFont_ || parentColor_) FontChanged();
  if (ControlContainer* inner = AsContainer())
    for (Control* c : inner->Controls()) c->ParentFontChanged();
}

void Control::Invalidate() {
  const plat::POINT origin = FormOrigin();
  InvalidateFormArea({origin.x, origin.y, origin.x + width_, origin.y + height_});
}

void Control::InvalidateFormArea(const plat::RECT& area) {
  if (!parent_ || !visible_) return;
  parent_->InvalidateArea(area);
}

void Control::Update() {
  if (parent_) parent_->PaintPending();
}

void Control::Repaint() {
  Invalidate();
  Update();
}

void Control::MouseDown(MouseButton button, ShiftState shift, int x, int y) { Fire(OnMouseDown, this, button, shift, x, y); }

void Control::MouseMove(ShiftState shift, int x, int y) { Fire(OnMouseMove, this, shift, x, y); }

void Control::MouseUp(MouseButton button, ShiftState shift, int x, int y) { Fire(OnMouseUp, this, button, shift, x, y); }

void Control::Click() { Fire(OnClick, this); }

void Control::DblClick() { Fire(OnDblClick, this); }

}  // namespace tk
