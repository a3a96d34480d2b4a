#include "toolkit/Graphic.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/Canvas.h"

namespace tk {

void Graphic::SetTransparent(bool on) {
  if (transparent_ == on) return;
  transparent_ = on;
  Changed();
}

Bitmap::Bitmap(plat::Pixels pixels, bool hasAlpha) : pixels_(std::move(pixels)), hasAlpha_(hasAlpha) {
  if (!hasAlpha_)
    for (auto& p : pixels_.argb) p |= 0xFF000000u;
}

std::unique_ptr<Graphic> Bitmap::Clone() const {
  auto copy = std::make_unique<Bitmap>(pixels_, hasAlpha_);
  copy->SetTransparent(Graphic::Transparent());
  return copy;
}

Color Bitmap::TransparentColor() const {
  if (pixels_.Empty()) return clWhite;
  const std::uint32_t p = pixels_.At(0, pixels_.height - 1);
  return plat::RGB(static_cast<plat::BYTE>(p >> 16), static_cast<plat::BYTE>(p >> 8), static_cast<plat::BYTE>(p));
}

void Bitmap::Draw(Canvas& canvas, const plat::RECT& rect) const {
  if (Empty()) return;
  canvas.DrawPixels(pixels_, rect, Transparent(), TransparentColor());
}

IconGraphic::IconGraphic(std::vector<plat::Pixels> images) : images_(std::move(images)) {
  std::erase_if(images_, [](const plat::Pixels& p) { return p.Empty(); });
  std::sort(images_.begin(), images_.end(), [](auto& a, auto& b) { return a.width < b.width; });
}

std::unique_ptr<Graphic> IconGraphic::Clone() const { return std::make_unique<IconGraphic>(images_); }

int IconGraphic::Width() const { return images_.empty() ? 0 : images_.back().width; }
int IconGraphic::Height() const { return images_.empty() ? 0 : images_.back().height; }

const plat::Pixels& IconGraphic::ImageFor(int size) const {
  if (images_.empty()) throw std::logic_error("empty icon");
  for (auto& image : images_)
    if (image.width >= size) return image;
  return images_.back();
}

void IconGraphic::Draw(Canvas& canvas, const plat::RECT& rect) const {
  if (Empty()) return;
  const int size = std::max(rect.right - rect.left, rect.bottom - rect.top);
  canvas.DrawPixels(ImageFor(size), rect, false, 0);
}

}  // namespace tk
