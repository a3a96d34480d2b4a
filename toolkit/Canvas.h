#pragma once
// A drawing surface over a platform device.
#include "platform/paint.h"
#include "toolkit/Colors.h"

namespace tk {

struct Brush {
  Color color = clWhite;
};

class Canvas {
 public:
  explicit Canvas(plat::HDC dc) : dc_(dc) {}

  plat::HDC Handle() const { return dc_; }
  Brush& GetBrush() { return brush_; }
  void FillRect(const plat::RECT& rect);

 private:
  plat::HDC dc_;
  Brush brush_;
};

}  // namespace tk
