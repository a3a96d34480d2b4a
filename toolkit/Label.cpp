#include "toolkit/Label.h"

#include "platform/surface.h"

namespace tk {

CustomLabel::CustomLabel(Component* owner) : GraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void CustomLabel::SetCaption(const std::string& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  AdjustBounds();
  Invalidate();
}

void CustomLabel::SetAlignment(Alignment alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  Invalidate();
}

void CustomLabel::SetAutoSize(bool on) {
  if (autoSize_ == on) return;
  autoSize_ = on;
  AdjustBounds();
}

void CustomLabel::SetWordWrap(bool on) {
  if (wordWrap_ == on) return;
  wordWrap_ = on;
  AdjustBounds();
  Invalidate();
}

void CustomLabel::SetShowAccelChar(bool on) {
  if (showAccelChar_ == on) return;
  showAccelChar_ = on;
  AdjustBounds();
  Invalidate();
}

bool CustomLabel::Transparent() const { return transparent_.value_or(plat::VisualStylesActive()); }

void CustomLabel::SetTransparent(bool on) {
  transparent_ = on;
  Invalidate();
}

void CustomLabel::SetLayout(TextLayout layout) {
  if (layout_ == layout) return;
  layout_ = layout;
  Invalidate();
}

plat::UINT CustomLabel::TextFormat() const {
  plat::UINT format = plat::DT_EXPANDTABS;
  if (alignment_ == Alignment::RightJustify) format |= plat::DT_RIGHT;
  if (alignment_ == Alignment::Center) format |= plat::DT_CENTER;
  if (wordWrap_) format |= plat::DT_WORDBREAK;
  if (!showAccelChar_) format |= plat::DT_NOPREFIX;
  return format;
}

int CustomLabel::DoDrawText(Canvas& canvas, plat::RECT& rect, plat::UINT format) {
  canvas.SetFont(GetFont());
  // An empty caption still takes one line's height when measured.
  const std::string text = caption_.empty() && (format & plat::DT_CALCRECT) ? std::string(" ") : caption_;
  if (format & plat::DT_CALCRECT) return canvas.DrawText(text, rect, format);
  if (Enabled()) return canvas.DrawText(text, rect, format);
  // Disabled: embossed, a highlight copy one pixel down and right under the shadow-coloured text.
  plat::RECT moved{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
  canvas.GetFont().style.color = clBtnHighlight;
  canvas.DrawText(text, moved, format);
  canvas.GetFont().style.color = clBtnShadow;
  return canvas.DrawText(text, rect, format);
}

void CustomLabel::Paint(Canvas& canvas) {
  plat::RECT rect = ClientRect();
  if (!Transparent()) {
    canvas.GetBrush().color = GetColor();
    canvas.FillRect(rect);
  }
  const plat::UINT format = TextFormat();
  if (layout_ != TextLayout::Top) {
    plat::RECT measured = rect;
    DoDrawText(canvas, measured, format | plat::DT_CALCRECT);
    const int d = rect.bottom - measured.bottom;
    const int shift = layout_ == TextLayout::Bottom ? d : d / 2;
    rect.top += shift;
    rect.bottom = rect.top + (measured.bottom - measured.top);
  }
  DoDrawText(canvas, rect, format);
}

void CustomLabel::AdjustBounds() {
  if (!autoSize_ || Loading()) return;
  auto device = plat::CreateImageSurface(1, 1);
  Canvas canvas(*device);
  plat::RECT rect{0, 0, wordWrap_ ? Width() : 0, 0};
  DoDrawText(canvas, rect, TextFormat() | plat::DT_CALCRECT);
  int left = Left();
  // A right-aligned label keeps its right edge.
  if (alignment_ == Alignment::RightJustify) left += Width() - rect.right;
  SetBounds(left, Top(), rect.right, rect.bottom);
}

void CustomLabel::FontChanged() {
  AdjustBounds();
  Invalidate();
}

void CustomLabel::Loaded() {
  GraphicControl::Loaded();
  AdjustBounds();
}

}  // namespace tk
