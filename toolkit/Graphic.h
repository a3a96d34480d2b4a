#pragma once
// Graphics a picture can hold: bitmaps and icons. Metafiles are left out: nothing in the program
// draws one, and only Windows could render them.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/surface.h"
#include "toolkit/Colors.h"

namespace tk {

class Canvas;

class Graphic {
 public:
  virtual ~Graphic() = default;
  virtual std::unique_ptr<Graphic> Clone() const = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // Whether the graphic leaves some of what lies beneath it showing.
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool on);
  // None of our graphics carries a palette (every device shows true colour).
  bool HasPalette() const { return false; }

  // Scaled into `rect`.
  virtual void Draw(Canvas& canvas, const plat::RECT& rect) const = 0;

  std::function<void()> OnChange;

 protected:
  void Changed() const {
    if (OnChange) OnChange();
  }

 private:
  bool transparent_ = false;
};

// A bitmap: 24-bit pixels (alpha ignored) or 32-bit with alpha. A transparent bitmap leaves out
// the pixels of its bottom-left pixel's colour.
class Bitmap : public Graphic {
 public:
  Bitmap() = default;
  Bitmap(plat::Pixels pixels, bool hasAlpha);
  std::unique_ptr<Graphic> Clone() const override;
  int Width() const override { return pixels_.width; }
  int Height() const override { return pixels_.height; }
  bool HasAlpha() const { return hasAlpha_; }
  const plat::Pixels& Pixels() const { return pixels_; }
  Color TransparentColor() const;
  void Draw(Canvas& canvas, const plat::RECT& rect) const override;

 private:
  plat::Pixels pixels_;
  bool hasAlpha_ = false;
};

// An icon: one picture in several sizes, each 32-bit with alpha; drawn from the size that fits
// the destination best. Its size is that of its largest image.
class IconGraphic : public Graphic {
 public:
  IconGraphic() = default;
  explicit IconGraphic(std::vector<plat::Pixels> images);
  std::unique_ptr<Graphic> Clone() const override;
  int Width() const override;
  int Height() const override;
  bool Transparent() const override { return true; }
  const std::vector<plat::Pixels>& Images() const { return images_; }
  // The image for a square of `size` pixels: the smallest that is at least as big, else the
  // largest.
  const plat::Pixels& ImageFor(int size) const;
  void Draw(Canvas& canvas, const plat::RECT& rect) const override;

 private:
  std::vector<plat::Pixels> images_;
};

}  // namespace tk
