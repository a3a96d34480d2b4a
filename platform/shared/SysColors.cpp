// The system colours of the linux and sim desktops: the classic Windows scheme, which the
// program's stored colours were chosen against.
#include "platform/surface.h"

namespace plat {

COLORREF GetSysColor(int index) {
  switch (index) {
    case 1: return RGB(0, 128, 128);     // desktop
    case 5: return RGB(255, 255, 255);   // window
    case 8: return RGB(0, 0, 0);         // window text
    case 15: return RGB(212, 208, 200);  // 3-D face
    case 16: return RGB(128, 128, 128);  // 3-D shadow
    case 17: return RGB(128, 128, 128);  // grey (disabled) text
    case 18: return RGB(0, 0, 0);        // button text
    case 20: return RGB(255, 255, 255);  // 3-D highlight
    case 23: return RGB(0, 0, 0);        // tooltip text
    case 24: return RGB(255, 255, 225);  // tooltip background
    default: return RGB(192, 192, 192);
  }
}

}  // namespace plat
