#include "toolkit/Colors.h"

namespace tk {

Color ColorToRGB(Color color) {
  if ((color & kSystemColorFlag) == 0) return color;
  switch (color & 0xFF) {
    case 1: return plat::RGB(0, 128, 128);
    case 15: return plat::RGB(212, 208, 200);
    case 24: return plat::RGB(255, 255, 225);
    default: return plat::RGB(192, 192, 192);
  }
}

}  // namespace tk
