#include "controls/ProCtrls.h"

#include <cmath>
#include <numbers>

namespace {

// Undoes a flag when the scope ends, also by an exception.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool old_;
};

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

// --- TProCustomLabel ---

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
    FlagScope applying(applyingPreset_, true);
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
  const plat::UINT format = TextFormat();
  plat::RECT rect = ClientRect();
  const int clientW = Width(), clientH = Height();
  canvas.SetFont(GetFont());
  if (!Transparent()) {
    canvas.GetBrush().color = GetColor();
    canvas.FillRect(rect);
  }
  canvas.GetBrush().clear = true;

  if (angle_ != 0) {
    // Rotated: only outline fonts turn, and every face the devices resolve to is one.
    canvas.GetFont().angle = angle_;
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
    rect = {0, 0, boxW, boxH};
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
  } else if (verticalAlignment_ != TVerticalAlignment::vaTop) {
    plat::RECT measured = rect;
    canvas.DrawText(Caption(), measured, format | plat::DT_CALCRECT);
    const int oldBottom = rect.bottom;
    rect.bottom = rect.top + (measured.bottom - measured.top);
    const int d = oldBottom - rect.bottom;
    // A caption taller than the label: centred, it overflows at both edges alike.
    Move(rect, 0, verticalAlignment_ == TVerticalAlignment::vaBottom ? d : FloorHalf(d));
  }
  Move(rect, offsetX_, offsetY_);

  auto drawText = [&](tk::Color color) {
    canvas.GetFont().style.color = color;
    if (angle_ != 0) {
      canvas.TextOut(rect.left, rect.top, Caption());
    } else {
      plat::RECT r = rect;
      canvas.DrawText(Caption(), r, format);
    }
  };

  if (Enabled()) {
    if (shadowStyle_ != TShadowStyle::ssNone) {
      const plat::RECT kept = rect;
      Step(rect, shadowDirection_, shadowDepth_);
      for (int i = 0; i < shadowSize_; ++i) {
        drawText(shadowColor_);
        Step(rect, shadowDirection_, 1);
      }
      rect = kept;
      Step(rect, highlightDirection_, highlightDepth_);
      drawText(highlightColor_);
      rect = kept;
    }
    drawText(GetFont().color);
  } else {
    Move(rect, 1, 1);
    drawText(tk::clBtnHighlight);
    Move(rect, -1, -1);
    drawText(tk::clBtnShadow);
  }
  canvas.GetFont().angle = 0;
}

void TProCustomLabel::HandleMouseEnter() {
  tk::CustomLabel::HandleMouseEnter();
  MouseEnter();
}

void TProCustomLabel::HandleMouseLeave() {
  tk::CustomLabel::HandleMouseLeave();
  MouseLeave();
}

void TProCustomLabel::MouseEnter() { tk::Fire(OnMouseEnter, this); }
void TProCustomLabel::MouseLeave() { tk::Fire(OnMouseLeave, this); }

// --- TProImage ---

TProImage::TProImage(tk::Component* owner) : tk::GraphicControl(owner), picture_(new tk::Picture) {
  picture_->OnChange = [this] { PictureChanged(); };
  picture_->OnProgress = [this](void* sender, tk::ProgressStage stage, int percent, bool redrawNow,
                                const plat::RECT& rect, const std::string& message) {
    Progress(sender, stage, percent, redrawNow, rect, message);
  };
  SetBounds(Left(), Top(), 105, 105);
}

TProImage::~TProImage() {
  picture_->OnChange = nullptr;
  delete picture_;
}

void TProImage::SetPicture(const tk::Picture& picture) { picture_->Assign(picture); }

void TProImage::SetAutoSize(bool on) {
  autoSize_ = on;
  PictureChanged();
}

void TProImage::SetStretch(bool on) {
  if (on == stretch_) return;
  stretch_ = on;
  PictureChanged();
}

void TProImage::SetCenter(bool on) {
  if (on == center_) return;
  center_ = on;
  PictureChanged();
}

void TProImage::SetTiled(bool on) {
  if (on == tiled_) return;
  tiled_ = on;
  PictureChanged();
}

void TProImage::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  PictureChanged();
}

plat::RECT TProImage::DestRect() const {
  if (stretch_) return ClientRect();
  const int w = picture_->Width(), h = picture_->Height();
  if (center_) {
    const int left = (Width() - w) / 2, top = (Height() - h) / 2;
    return {left, top, left + w, top + h};
  }
  return {0, 0, w, h};
}

void TProImage::Paint(tk::Canvas& canvas) {
  FlagScope drawing(drawing_, true);
  tk::Graphic* graphic = picture_->GetGraphic();
  if (!tiled_) {
    if (graphic) canvas.StretchDraw(DestRect(), *graphic);
    return;
  }
  if (!graphic || graphic->Width() <= 0 || graphic->Height() <= 0) return;
  // The tiles go to an off-screen bitmap first, so the control never shows them one by one.
  auto offscreen = canvas.CreateOffscreen(Width(), Height());
  for (int x = 0; x < Width(); x += graphic->Width())
    for (int y = 0; y < Height(); y += graphic->Height()) offscreen->Draw(x, y, *graphic);
  canvas.CopyFrom(*offscreen, 0, 0);
}

void TProImage::PictureChanged() {
  const int w = picture_->Width(), h = picture_->Height();
  if (autoSize_ && w > 0 && h > 0) SetBounds(Left(), Top(), w, h);
  if (tk::Graphic* graphic = picture_->GetGraphic()) {
    graphic->SetTransparent(transparent_);
    SetOpaque(!(graphic->Transparent() || (!stretch_ && (w < Width() || h < Height()))));
  } else {
    SetOpaque(false);
  }
  if (!drawing_) Invalidate();
}

void TProImage::Progress(void* sender, tk::ProgressStage stage, int percent, bool redrawNow, const plat::RECT& rect,
                         const std::string& message) {
  // No graphic of ours carries a palette, so there is never a palette to realise first.
  if (incrementalDisplay_ && redrawNow) Repaint();
  if (OnProgress) OnProgress(this, stage, percent, redrawNow, rect, message);
}

void TProImage::HandleMouseEnter() {
  tk::GraphicControl::HandleMouseEnter();
  MouseEnter();
}

void TProImage::HandleMouseLeave() {
  tk::GraphicControl::HandleMouseLeave();
  MouseLeave();
}

void TProImage::MouseEnter() { tk::Fire(OnMouseEnter, this); }
void TProImage::MouseLeave() { tk::Fire(OnMouseLeave, this); }

// --- TProMouseRegion ---

TProMouseRegion::TProMouseRegion(tk::Component* owner) : tk::GraphicControl(owner) { SetBounds(0, 0, 105, 105); }

// The program has no design time, where the region would show a dashed outline: it paints
// nothing, and the window beneath shows through.
void TProMouseRegion::Paint(tk::Canvas&) {}

void TProMouseRegion::HandleMouseEnter() {
  tk::GraphicControl::HandleMouseEnter();
  MouseEnter();
}

void TProMouseRegion::HandleMouseLeave() {
  tk::GraphicControl::HandleMouseLeave();
  MouseLeave();
}

void TProMouseRegion::MouseEnter() { tk::Fire(OnMouseEnter, this); }
void TProMouseRegion::MouseLeave() { tk::Fire(OnMouseLeave, this); }
