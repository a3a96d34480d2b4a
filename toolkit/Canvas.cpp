#include "toolkit/Canvas.h"

namespace tk {

void Canvas::FillRect(const plat::RECT& rect) { plat::FillSolidRect(dc_, &rect, ColorToRGB(brush_.color)); }

}  // namespace tk
