#pragma once
// The window that shows hints; the application owns it while hints are shown at all. A control
// the mouse rests on shows its hint after the application's HintPause (HintShortPause when a
// hint was showing a moment ago), for HintHidePause, in the application's HintColor.
#include <memory>
#include <string>

#include "platform/peers.h"
#include "toolkit/Colors.h"
#include "toolkit/Component.h"

namespace tk {

class Control;
class Timer;

class HintWindow : public Component, private plat::FormPeerEvents {
 public:
  explicit HintWindow(Component* owner);
  ~HintWindow() override;

  const plat::FontSpec& Font() const { return font_; }
  void SetFont(const plat::FontSpec& font) { font_ = font; }
  Color GetColor() const { return color_; }
  void SetColor(Color color) { color_ = color; }

  // The mouse came to rest over `control` at a screen point; the hint follows after the pause.
  void ControlEntered(Control* control, plat::POINT screen);
  void ControlLeft(Control* control);
  void HideHint();

  bool Showing() const { return shown_; }
  const std::string& Text() const { return text_; }

 private:
  void ShowNow();
  void PeerCloseRequested() override {}
  void PeerActivated() override {}
  void PeerPaint(plat::Surface& surface, const plat::RECT& dirty) override;

  plat::FontSpec font_{"Verdana", 11, 0};
  Color color_ = clInfoBk;
  Color shownColor_ = clInfoBk;
  Timer* showTimer_ = nullptr;
  Timer* hideTimer_ = nullptr;
  Control* pending_ = nullptr;
  plat::POINT at_{0, 0};
  std::string text_;
  bool shown_ = false;
  plat::DWORD hiddenAt_ = 0;
  bool everShown_ = false;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<plat::FormPeer> peer_;
};

}  // namespace tk
