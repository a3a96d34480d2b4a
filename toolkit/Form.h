#pragma once
// A top-level window. Its stored layout is assigned by AssignLayout when the form is loaded
// (CreateForm), never by the constructor.
#include <memory>
#include <optional>
#include <string>

#include "platform/peers.h"
#include "toolkit/BiDiMode.h"
#include "toolkit/Colors.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/Events.h"
#include "toolkit/PointerTracker.h"
#include "toolkit/WinControl.h"

namespace tk {

using plat::BorderIcons;
using plat::BorderStyle;
using Font = plat::FontSpec;

enum class Position { Designed, ScreenCenter };
enum class CloseAction { None, Hide, Free, Minimize };
using CloseEvent = std::function<void(Component* sender, CloseAction& action)>;

class Form : public Component, public ControlContainer, private plat::FormPeerEvents {
 public:
  explicit Form(Component* owner);
  ~Form() override;

  plat::HWND Handle();

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  BorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(BorderStyle style);
  BorderIcons GetBorderIcons() const { return borderIcons_; }
  void SetBorderIcons(BorderIcons icons);
  Position GetPosition() const { return position_; }
  void SetPosition(Position position) { position_ = position; }
  int Left() const { return left_; }
  void SetLeft(int left);
  int Top() const { return top_; }
  void SetTop(int top);
  int ClientWidth() const override { return clientWidth_; }
  void SetClientWidth(int width);
  int ClientHeight() const override { return clientHeight_; }
  void SetClientHeight(int height);
  Color GetColor() const override { return color_; }
  void SetColor(Color color);
  bool TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(bool on);
  Color TransparentColorValue() const { return transparentColorValue_; }
  void SetTransparentColorValue(Color color);
  const Font& GetFont() const override { return font_; }
  void SetFont(const Font& font);
  // The form's own icon; an empty one shows the application's.
  const plat::IconImage& Icon() const { return icon_; }
  void SetIcon(const plat::IconImage& icon);
  bool ShowHint() const override { return showHint_; }
  void SetShowHint(bool show) { showHint_ = show; }
  BiDiMode GetBiDiMode() const { return biDiMode_; }
  void SetBiDiMode(BiDiMode mode) { biDiMode_ = mode; }

  bool Visible() const;
  void SetVisible(bool visible) { visible ? Show() : Hide(); }
  void Show();
  void Hide();
  // The main form's close ends the program; any other form is hidden (OnClose may decide else).
  void Close();
  // Destroys the form once control is back in the message loop; safe inside its own handlers.
  void Release();

  // The container side: the form is its controls' ultimate parent.
  Form* ContainerForm() override { return this; }
  plat::POINT ClientOrigin() const override { return {0, 0}; }
  // The form's pending region is its window's: the peer keeps it, with what the window system
  // asks to be painted again (the window uncovered).
  void InvalidateArea(const plat::RECT& area) override;
  void PaintPending() override;
  // The whole client area joins the pending region.
  void Invalidate() { InvalidateArea({0, 0, clientWidth_, clientHeight_}); }
  // Paints the pending region now.
  void Update() { PaintPending(); }
  void ChildGoing(Control* child) override { ControlRemoved(child); }
  // Paints the client area as the window shows it (without native controls) on `surface`.
  void PaintTo(plat::Surface& surface) { PeerPaint(surface, {0, 0, clientWidth_, clientHeight_}); }
  PointerTracker* Pointer() override { return &pointer_; }
  // A control is going or was hidden: it no longer takes the mouse or the focus.
  void ControlRemoved(Control* control);
  // The native window, once made.
  plat::FormPeer* NativePeer() const { return peer_.get(); }
  // The control with the keyboard focus; changing it raises OnExit and OnEnter.
  WinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(WinControl* control);
  // Moves the focus to the next (or previous) control in tab order, wrapping around.
  void SelectNext(bool forward = true);

  // Runs the update of every action the form owns (the application's idle-time updates).
  void UpdateActions();
  void ApplicationIconChanged();

  NotifyEvent OnActivate;
  CloseEvent OnClose;

 protected:
  void Loaded() override;

 private:
  plat::FormPeer& Peer();
  void ApplyTransparentColor();
  void PeerCloseRequested() override;
  void PeerActivated() override;
  void PeerPaint(plat::Surface& surface, const plat::RECT& dirty) override;
  void PeerMouse(plat::UINT msg, int x, int y, plat::WPARAM keys) override;
  void PeerFrameChanged() override;
  void CenterOnScreen();
  void ApplyBounds();

  std::unique_ptr<plat::FormPeer> peer_;
  std::string caption_;
  BorderStyle borderStyle_ = BorderStyle::Single;
  BorderIcons borderIcons_;
  Position position_ = Position::Designed;
  int left_ = 0;
  int top_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  Color color_ = clBtnFace;
  bool transparentColor_ = false;
  Color transparentColorValue_ = 0;
  Font font_;
  plat::IconImage icon_;
  BiDiMode biDiMode_ = BiDiMode::LeftToRight;
  bool showHint_ = false;
  PointerTracker pointer_{*this};
  WinControl* activeControl_ = nullptr;
};

// Creates a form of type T owned by `owner` and loads its stored layout.
template <class T, class... Args>
T* CreateForm(Component* owner, Args&&... args) {
  auto* form = new T(owner, std::forward<Args>(args)...);
  try {
    form->Load();
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}

}  // namespace tk
