#pragma once
// Controls: a place in a parent's client area, visibility, enabling, hints, cursor, mouse input
// and painting. Graphic controls have no native window: their parent paints them in z-order
// (the order of its child list) on its own canvas. Windowed controls (WinControl) have a peer.
#include <functional>
#include <string>
#include <vector>

#include "platform/peers.h"
#include "platform/rects.h"
#include "toolkit/Canvas.h"
#include "toolkit/Colors.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class Control;
class Form;
class PointerTracker;

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class MouseButton { Left, Right, Middle };
struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool left = false;
  bool right = false;
};
using MouseEvent = std::function<void(Component* sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(Component* sender, ShiftState shift, int x, int y)>;

// The cursor shapes the program's windows use (the platform's standard ones).
enum class Cursor { Default, Arrow, HandPoint, IBeam, Wait };
// The platform's shape for a cursor (Default is the arrow).
plat::CursorShape ShapeOf(Cursor cursor);

// What holds controls: a form or a windowed container control.
class ControlContainer {
 public:
  virtual ~ControlContainer();

  const std::vector<Control*>& Controls() const { return controls_; }
  virtual Form* ContainerForm() = 0;
  // The container as a control (a windowed container control); null for a form.
  virtual Control* AsControl() { return nullptr; }
  // The tracker of the pointer over the container's form; null while it is on none.
  virtual PointerTracker* Pointer() = 0;
  // The container's client origin in its form's client coordinates.
  virtual plat::POINT ClientOrigin() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  // What children with ParentFont, ParentColor and ParentShowHint take.
  virtual const plat::FontSpec& GetFont() const = 0;
  virtual Color GetColor() const = 0;
  virtual bool ShowHint() const = 0;

  // Places the aligned children (top, bottom, left, right, then client) in child-list order.
  void Realign();
  // Paints the visible graphic children that reach into `dirty` (this container's client
  // coordinates) in z-order, each translated to its origin and clipped to its bounds; then,
  // through them, those of windowed containers among the children.
  void PaintControls(Canvas& canvas, const plat::RECT& dirty);
  // The visible control at a client point, topmost first, searching into windowed containers;
  // null when none.
  Control* ControlAtPos(int x, int y);
  // `area` (the form's client coordinates) of a child whose look or place changed is to be
  // painted again: the container passes it on to its form's pending region.
  virtual void InvalidateArea(const plat::RECT& area) = 0;
  // Paints the form's pending region now.
  virtual void PaintPending() = 0;
  // A child is hidden or leaves: its form takes the pointer and the focus from it.
  virtual void ChildGoing(Control* child) = 0;

 private:
  friend class Control;
  void InsertControl(Control* control);
  void RemoveControl(Control* control);

  std::vector<Control*> controls_;
};

class Control : public Component {
 public:
  explicit Control(Component* owner);
  ~Control() override;

  ControlContainer* Parent() const { return parent_; }
  void SetParent(ControlContainer* parent);
  Form* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  plat::RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  plat::RECT ClientRect() const { return {0, 0, width_, height_}; }
  // This control's origin in its form's client coordinates.
  plat::POINT FormOrigin() const;

  Align GetAlign() const { return align_; }
  void SetAlign(Align align);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  // ParentShowHint (on by default) takes the container's setting; setting ShowHint clears it.
  bool ShowHint() const;
  void SetShowHint(bool show);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool on) { parentShowHint_ = on; }
  Cursor GetCursor() const { return cursor_; }
  // Shown while the pointer is over the control.
  void SetCursor(Cursor cursor);

  // Font and colour; ParentFont and ParentColor take the container's until set here.
  const plat::FontSpec& GetFont() const;
  void SetFont(const plat::FontSpec& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool on);
  Color GetColor() const;
  void SetColor(Color color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool on);
  // The container's font or colour changed.
  void ParentFontChanged();

  // A control that covers its whole rectangle: its parent need not paint beneath it.
  bool Opaque() const { return opaque_; }

  // Adds the control's rectangle to its form's pending region; never paints. The form paints
  // what is pending once, before its loop next waits for input, or at Update.
  void Invalidate();
  // Paints the form's pending region now, through the form's one paint; nothing when none is
  // pending.
  void Update();
  // Invalidate, then Update: the control is painted now.
  void Repaint();
  void Refresh() { Repaint(); }

  virtual bool IsWindowed() const { return false; }
  // The control as a container of controls; null for one that holds none.
  virtual ControlContainer* AsContainer() { return nullptr; }
  // What a windowed container passes on to its children: its form's window was made, it moved,
  // it was shown or hidden. Controls with a native peer follow; graphic controls need nothing.
  virtual void FormWindowMade() {}
  virtual void ContainerMoved() {}
  virtual void ContainerVisibilityChanged() {}
  // Graphic controls paint themselves here, in their own coordinates.
  virtual void Paint(Canvas& canvas) {}

  // Mouse input as the form hands it out (client coordinates of this control).
  virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
  virtual void MouseMove(ShiftState shift, int x, int y);
  virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  // The toolkit's notifications that the mouse entered or left the control (its form's pointer
  // tracker sends them, after the hint has followed the pointer).
  virtual void HandleMouseEnter() {}
  virtual void HandleMouseLeave() {}

  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;
  MouseMoveEvent OnMouseMove;
  MouseEvent OnMouseUp;

 protected:
  // The tracker of the pointer over this control's form; null while it is on none.
  PointerTracker* FormPointer() const { return parent_ ? parent_->Pointer() : nullptr; }
  void SetOpaque(bool on) { opaque_ = on; }
  // Adds `area` (the form's client coordinates) to the form's pending region, while the control
  // is shown.
  void InvalidateFormArea(const plat::RECT& area);
  // Font or colour changed (own or the container's).
  virtual void FontChanged() { Invalidate(); }
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void EnabledChanged() { Invalidate(); }
  virtual void ParentChanged() {}

 private:
  friend class ControlContainer;

  ControlContainer* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  Align align_ = Align::None;
  bool visible_ = true;
  bool enabled_ = true;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  Cursor cursor_ = Cursor::Default;
  plat::FontSpec font_;
  bool parentFont_ = true;
  Color color_ = clBtnFace;
  bool parentColor_ = false;
  bool opaque_ = false;
};

}  // namespace tk
