#include "toolkit/Canvas.h"

#include <stdexcept>

#include "toolkit/Graphic.h"

namespace tk {

Canvas::Canvas(std::unique_ptr<plat::Surface> owned) : surface_(owned.get()), owned_(std::move(owned)) {}

plat::Surface& Canvas::Surface() {
  if (!surface_) throw std::logic_error("this canvas has no drawing device");
  return *surface_;
}

void Canvas::Save() {
  saved_.push_back(state_);
  if (surface_) surface_->Save();
}

void Canvas::Restore() {
  if (saved_.empty()) return;
  state_ = saved_.back();
  saved_.pop_back();
  if (surface_) {
    surface_->Restore();
    fontSelected_ = false;  // the device's font came back with its state
  }
}

void Canvas::Translate(int dx, int dy) { Surface().Translate(dx, dy); }

void Canvas::ClipRect(const plat::RECT& rect) { Surface().ClipRect(rect); }

void Canvas::FillRect(const plat::RECT& rect) {
  if (state_.brush.clear) return;
  if (!surface_) {
    plat::FillSolidRect(dc_, &rect, ColorToRGB(state_.brush.color));
    return;
  }
  surface_->FillRect(rect, ColorToRGB(state_.brush.color));
}

void Canvas::FrameRect(const plat::RECT& rect) {
  Surface().FrameRect(rect, ColorToRGB(state_.pen.color), state_.pen.style);
}

// Fonts are selected only when text is drawn or measured, and only when they changed: the
// device keeps its fonts, so repainting creates none.
void Canvas::SelectFont() {
  const auto& f = state_.font;
  plat::LogicalFont wanted{f.style.face, f.style.pixelHeight, f.style.bold, ((f.angle % 360) + 360) % 360, antialias_};
  if (fontSelected_ && wanted == selected_) return;
  Surface().SelectFont(wanted);
  selected_ = wanted;
  fontSelected_ = true;
}

plat::SIZE Canvas::TextExtent(const std::string& text) {
  SelectFont();
  return Surface().TextExtent(text);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  SelectFont();
  Surface().TextLine(x, y, text, ColorToRGB(state_.font.style.color));
}

int Canvas::DrawText(const std::string& text, plat::RECT& rect, plat::UINT format) {
  SelectFont();
  return Surface().FormattedText(text, rect, format, ColorToRGB(state_.font.style.color));
}

void Canvas::Draw(int x, int y, const Graphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, {x, y, x + graphic.Width(), y + graphic.Height()});
}

void Canvas::StretchDraw(const plat::RECT& rect, const Graphic& graphic) {
  if (!graphic.Empty()) graphic.Draw(*this, rect);
}

void Canvas::DrawPixels(const plat::Pixels& pixels, const plat::RECT& rect, bool keyed, Color key) {
  Surface().DrawPixels(pixels, rect, keyed, ColorToRGB(key));
}

std::unique_ptr<Canvas> Canvas::CreateOffscreen(int width, int height) {
  auto canvas = std::make_unique<Canvas>(Surface().CreateCompatible(width, height));
  canvas->state_ = state_;
  canvas->antialias_ = antialias_;
  return canvas;
}

void Canvas::CopyFrom(Canvas& offscreen, int x, int y) { Surface().CopyFrom(offscreen.Surface(), x, y); }

}  // namespace tk
