#include "toolkit/HintWindow.h"

#include "platform/messages.h"
#include "platform/surface.h"
#include "toolkit/Application.h"
#include "toolkit/Canvas.h"
#include "toolkit/Control.h"
#include "toolkit/Timer.h"

namespace tk {
namespace {

constexpr int kPadX = 4;
constexpr int kPadY = 2;

// A hint's part before "|" is the short one the window shows.
std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

}  // namespace

HintWindow::HintWindow(Component* owner) : Component(owner) {
  showTimer_ = new Timer(this);
  showTimer_->SetEnabled(false);
  showTimer_->SetOnTimer([this](Component*) { ShowNow(); });
  hideTimer_ = new Timer(this);
  hideTimer_->SetEnabled(false);
  hideTimer_->SetOnTimer([this](Component*) { HideHint(); });
}

HintWindow::~HintWindow() { peer_.reset(); }

void HintWindow::ControlEntered(Control* control, plat::POINT screen) {
  Application* app = App();
  if (!app || !control || !control->ShowHint() || ShortHint(control->Hint()).empty()) {
    ControlLeft(pending_);
    return;
  }
  // Moving on from one hint to the next (or just after one went) waits only the short pause.
  const bool recent = shown_ || (everShown_ && plat::GetTickCount() - hiddenAt_ <= static_cast<plat::DWORD>(app->HintShortPause()));
  if (shown_) HideHint();
  pending_ = control;
  at_ = screen;
  showTimer_->SetEnabled(false);
  showTimer_->SetInterval(static_cast<unsigned>(recent ? app->HintShortPause() : app->HintPause()));
  showTimer_->SetEnabled(true);
}

void HintWindow::ControlLeft(Control* control) {
  if (!control || control != pending_) return;
  pending_ = nullptr;
  showTimer_->SetEnabled(false);
  if (shown_) HideHint();
}

void HintWindow::ShowNow() {
  showTimer_->SetEnabled(false);
  Application* app = App();
  if (!pending_ || !app) return;
  std::string text = ShortHint(pending_->Hint());
  HintInfo info;
  info.hintControl = pending_;
  info.cursorPos = at_;
  info.hintColor = color_;
  info.hideTimeout = app->HintHidePause();
  info.hintStr = text;
  if (!app->ShowHintFor(text, info) || text.empty()) return;
  text_ = text;
  shownColor_ = info.hintColor;

  auto measure = plat::CreateImageSurface(1, 1);
  Canvas canvas(*measure);
  canvas.SetFont(font_);
  const plat::SIZE size = canvas.TextExtent(text_);
  width_ = size.cx + 2 * kPadX;
  height_ = size.cy + 2 * kPadY;
  if (!peer_) {
    peer_ = plat::CreateFormPeer(*this, app->Handle(), "hint");
    peer_->SetBorder(plat::BorderStyle::None, {false, false, false});
  }
  peer_->SetCaption(text_);
  // Just below the pointer, as the desktop places tooltips.
  peer_->SetBounds(at_.x, at_.y + 20, width_, height_);
  peer_->Invalidate({0, 0, width_, height_});
  peer_->Show();
  shown_ = everShown_ = true;
  hideTimer_->SetEnabled(false);
  if (info.hideTimeout > 0) {
    hideTimer_->SetInterval(static_cast<unsigned>(info.hideTimeout));
    hideTimer_->SetEnabled(true);
  }
}

void HintWindow::HideHint() {
  hideTimer_->SetEnabled(false);
  if (!shown_) return;
  shown_ = false;
  hiddenAt_ = plat::GetTickCount();
  if (peer_) peer_->Hide();
}

void HintWindow::PeerPaint(plat::Surface& surface, const plat::RECT& dirty) {
  Canvas canvas(surface);
  canvas.ClipRect(dirty);
  canvas.GetBrush().color = shownColor_;
  canvas.FillRect({0, 0, width_, height_});
  canvas.GetPen().color = clBlack;
  canvas.FrameRect({0, 0, width_, height_});
  canvas.SetFont(font_);
  canvas.TextOut(kPadX, kPadY, text_);
}

}  // namespace tk
