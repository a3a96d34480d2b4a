// TProCustomLabel (and so TProLabel): turned text, preset and custom shadows and highlights,
// pixel offsets and vertical alignment.
#include "controls/ProCtrls.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "controls/FlagScope.h"

namespace {

void Step(plat::RECT& r, TDirection direction, int steps) {
  const plat::POINT d = DirectionStep(direction);
  r.left += d.x * steps;
  r.right += d.x * steps;
  r.top += d.y * steps;
  r.bottom += d.y * steps;
}

void Move(plat::RECT& r, int dx, int dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
}

int FloorHalf(int d) { return d >= 0 ? d / 2 : -((-d + 1) / 2); }

struct Preset {
  TDirection highlightDirection;
  int highlightDepth;
  TDirection shadowDirection;
  TShadowDepth shadowDepth;
  TShadowSize shadowSize;
  bool faceColoredFont;
};

Preset PresetOf(TShadowStyle style) {
  using enum TDirection;
  switch (style) {
    case TShadowStyle::ssRaised: return {drUpLeft, 1, drNone, 0, 0, false};
    case TShadowStyle::ssRaisedColor: return {drUpLeft, 1, drDownRight, 1, 1, true};
    case TShadowStyle::ssRaisedShadow: return {drUpLeft, 1, drDownRight, 1, 1, false};
    case TShadowStyle::ssRaisedThickShadow: return {drUpLeft, 1, drDownRight, 1, 4, false};
    case TShadowStyle::ssRecessed: return {drDownRight, 1, drNone, 0, 0, false};
    case TShadowStyle::ssRecessedColor: return {drDownRight, 1, drUpLeft, 1, 1, true};
    case TShadowStyle::ssRecessedShadow: return {drDownRight, 1, drUpLeft, 1, 1, false};
    case TShadowStyle::ssShadow: return {drNone, 0, drDownRight, 2, 1, false};
    case TShadowStyle::ssThickShadow: return {drNone, 0, drDownRight, 1, 4, false};
    case TShadowStyle::ssNone:
    case TShadowStyle::ssCustom: break;
  }
  return {drNone, 0, drNone, 0, 0, false};
}

}  // namespace

plat::POINT DirectionStep(TDirection direction) {
  switch (direction) {
    case TDirection::drNone: return {0, 0};
    case TDirection::drUp: return {0, -1};
    case TDirection::drDown: return {0, 1};
    case TDirection::drLeft: return {-1, 0};
    case TDirection::drRight: return {1, 0};
    case TDirection::drUpLeft: return {-1, -1};
    case TDirection::drUpRight: return {1, -1};
    case TDirection::drDownLeft: return {-1, 1};
    case TDirection::drDownRight: return {1, 1};
  }
  return {0, 0};
}

TProCustomLabel::TProCustomLabel(tk::Component* owner) : tk::CustomLabel(owner) {
  highlightColor_ = tk::clBtnHighlight;
  shadowColor_ = tk::clBtnShadow;
}

void TProCustomLabel::SetAngle(int angle) {
  int reduced = angle % 360;
  if (reduced < 0) reduced += 360;
  if (reduced == angle_) return;
  angle_ = reduced;
  const double radians = angle_ * std::numbers::pi / 180.0;
  cosine_ = std::cos(radians);
  sine_ = std::sin(radians);
  // Automatic sizing knows nothing of rotation.
  if (angle_ != 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TProCustomLabel::SetOffsetX(int offset) {
  if (offset == offsetX_) return;
  offsetX_ = offset;
  if (offset > 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TProCustomLabel::SetOffsetY(int offset) {
  if (offset == offsetY_) return;
  offsetY_ = offset;
  if (offset > 0 && AutoSize()) SetAutoSize(false);
  Invalidate();
}

void TProCustomLabel::CustomChanged() {
  if (!applyingPreset_) shadowStyle_ = TShadowStyle::ssCustom;
  Invalidate();
}

void TProCustomLabel::SetHighlightDirection(TDirection direction) {
  if (direction == highlightDirection_) return;
  highlightDirection_ = direction;
  CustomChanged();
}

void TProCustomLabel::SetHighlightDepth(int depth) {
  if (depth == highlightDepth_) return;
  highlightDepth_ = depth;
  CustomChanged();
}

void TProCustomLabel::SetHighlightColor(tk::Color color) {
  if (color == highlightColor_) return;
  highlightColor_ = color;
  CustomChanged();
}

void TProCustomLabel::SetShadowDirection(TDirection direction) {
  if (direction == shadowDirection_) return;
  shadowDirection_ = direction;
  CustomChanged();
}

void TProCustomLabel::SetShadowDepth(TShadowDepth depth) {
  if (depth == shadowDepth_) return;
  shadowDepth_ = depth;
  CustomChanged();
}

void TProCustomLabel::SetShadowSize(TShadowSize size) {
  if (size == shadowSize_) return;
  shadowSize_ = size;
  CustomChanged();
}

void TProCustomLabel::SetShadowColor(tk::Color color) {
  if (color == shadowColor_) return;
  shadowColor_ = color;
  CustomChanged();
}

void TProCustomLabel::SetShadowStyle(TShadowStyle style) {
  if (style == shadowStyle_) return;
  shadowStyle_ = style;
  if (style != TShadowStyle::ssCustom) {
    controls::FlagScope applying(applyingPreset_, true);
    const Preset p = PresetOf(style);
    SetHighlightDirection(p.highlightDirection);
    SetHighlightDepth(p.highlightDepth);
    SetHighlightColor(tk::clBtnHighlight);
    SetShadowDirection(p.shadowDirection);
    SetShadowDepth(p.shadowDepth);
    SetShadowSize(p.shadowSize);
    SetShadowColor(tk::clBtnShadow);
    if (p.faceColoredFont) {
      plat::FontSpec font = GetFont();
      font.color = tk::clBtnFace;
      SetFont(font);
    }
  }
  Invalidate();
}

void TProCustomLabel::SetVerticalAlignment(TVerticalAlignment alignment) {
  if (alignment == verticalAlignment_) return;
  verticalAlignment_ = alignment;
  Invalidate();
}

void TProCustomLabel::LoadShadow(const StoredShadow& s) {
  SetHighlightDirection(s.highlightDirection);
  SetHighlightDepth(s.highlightDepth);
  SetHighlightColor(s.highlightColor);
  SetShadowStyle(s.shadowStyle);
  SetShadowDirection(s.shadowDirection);
  SetShadowDepth(s.shadowDepth);
  SetShadowSize(s.shadowSize);
  SetShadowColor(s.shadowColor);
}

void TProCustomLabel::Paint(tk::Canvas& canvas) {
  canvas.SetFont(GetFont());
  if (!Transparent()) {
    canvas.GetBrush().color = GetColor();
    canvas.FillRect(ClientRect());
  }
  canvas.GetBrush().clear = true;
  // Rotated: only outline fonts turn, and every face the devices resolve to is one.
  if (angle_ != 0) canvas.GetFont().angle = angle_;
  plat::RECT rect = angle_ != 0 ? TurnedTextRect(canvas) : AlignedTextRect(canvas);
  Move(rect, offsetX_, offsetY_);
  DrawLayers(canvas, rect);
  canvas.GetFont().angle = 0;
}

plat::RECT TProCustomLabel::AlignedTextRect(tk::Canvas& canvas) const {
  plat::RECT rect = ClientRect();
  if (verticalAlignment_ == TVerticalAlignment::vaTop) return rect;
  plat::RECT measured = rect;
  canvas.DrawText(Caption(), measured, TextFormat() | plat::DT_CALCRECT);
  const int oldBottom = rect.bottom;
  rect.bottom = rect.top + (measured.bottom - measured.top);
  const int d = oldBottom - rect.bottom;
  // A caption taller than the label: centred, it overflows at both edges alike.
  Move(rect, 0, verticalAlignment_ == TVerticalAlignment::vaBottom ? d : FloorHalf(d));
  return rect;
}

// The turned caption's bounding box, aligned in the client area; its top-left corner is where
// the turned text starts.
plat::RECT TProCustomLabel::TurnedTextRect(tk::Canvas& canvas) const {
  const int clientW = Width(), clientH = Height();
  const plat::SIZE extent = canvas.TextExtent(Caption());
  const int a = static_cast<int>(extent.cx * cosine_), b = static_cast<int>(extent.cx * sine_);
  const int p = static_cast<int>(extent.cy * cosine_), q = static_cast<int>(extent.cy * sine_);
  int boxW, boxH;
  if (angle_ < 90) {
    boxW = a + q;
    boxH = b + p;
  } else if (angle_ < 180) {
    boxW = q - a;
    boxH = b - p;
  } else if (angle_ < 270) {
    boxW = -a - q;
    boxH = -b - p;
  } else {
    boxW = a - q;
    boxH = p - b;
  }
  boxW = std::min(boxW, clientW);
  boxH = std::min(boxH, clientH);
  plat::RECT rect{0, 0, boxW, boxH};
  if (GetAlignment() == tk::Alignment::Center) Move(rect, (clientW - boxW) / 2, 0);
  if (GetAlignment() == tk::Alignment::RightJustify) Move(rect, clientW - boxW, 0);
  if (verticalAlignment_ == TVerticalAlignment::vaCenter) Move(rect, 0, (clientH - boxH) / 2);
  if (verticalAlignment_ == TVerticalAlignment::vaBottom) Move(rect, 0, clientH - boxH);
  if (angle_ < 90)
    Move(rect, 0, b);
  else if (angle_ < 180)
    Move(rect, -a, boxH);
  else if (angle_ < 270)
    Move(rect, boxW, -p);
  else
    Move(rect, -q, 0);
  return rect;
}

// Shadow, then highlight, then the caption; a disabled label is embossed instead.
void TProCustomLabel::DrawLayers(tk::Canvas& canvas, plat::RECT rect) const {
  if (!Enabled()) {
    Move(rect, 1, 1);
    DrawCaption(canvas, rect, tk::clBtnHighlight);
    Move(rect, -1, -1);
    DrawCaption(canvas, rect, tk::clBtnShadow);
    return;
  }
  if (shadowStyle_ != TShadowStyle::ssNone) {
    plat::RECT layer = rect;
    Step(layer, shadowDirection_, shadowDepth_);
    for (int i = 0; i < shadowSize_; ++i) {
      DrawCaption(canvas, layer, shadowColor_);
      Step(layer, shadowDirection_, 1);
    }
    layer = rect;
    Step(layer, highlightDirection_, highlightDepth_);
    DrawCaption(canvas, layer, highlightColor_);
  }
  DrawCaption(canvas, rect, GetFont().color);
}

void TProCustomLabel::DrawCaption(tk::Canvas& canvas, plat::RECT rect, tk::Color color) const {
  canvas.GetFont().style.color = color;
  if (angle_ != 0)
    canvas.TextOut(rect.left, rect.top, Caption());
  else
    canvas.DrawText(Caption(), rect, TextFormat());
}
