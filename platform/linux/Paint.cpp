// Painting requests of message-core windows. The application window and the other hidden windows
// have no surface on X11 (GTK draws the forms), so a paint request hands out no device and
// nothing is drawn.
#include "platform/paint.h"

namespace plat {

HDC BeginPaint(HWND, PAINTSTRUCT* paint) {
  *paint = PAINTSTRUCT{};
  return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return 1; }

BOOL FillSolidRect(HDC, const RECT*, COLORREF) { return 0; }  // there is never a device to fill

}  // namespace plat
