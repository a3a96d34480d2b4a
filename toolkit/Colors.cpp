#include "toolkit/Colors.h"

#include "platform/surface.h"

namespace tk {

Color ColorToRGB(Color color) {
  if ((color & kSystemColorFlag) == 0) return color;
  return plat::GetSysColor(static_cast<int>(color & 0xFF));
}

}  // namespace tk
