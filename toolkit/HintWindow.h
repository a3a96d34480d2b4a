#pragma once
// The window that shows hints; the application owns it while hints are shown at all.
#include "platform/peers.h"
#include "toolkit/Colors.h"
#include "toolkit/Component.h"

namespace tk {

class HintWindow : public Component {
 public:
  using Component::Component;

  const plat::FontSpec& Font() const { return font_; }
  void SetFont(const plat::FontSpec& font) { font_ = font; }
  Color GetColor() const { return color_; }
  void SetColor(Color color) { color_ = color; }

 private:
  plat::FontSpec font_;
  Color color_ = clInfoBk;
};

}  // namespace tk
