// Painting requests, forwarded to GDI.
#include "platform/paint.h"

#include <windows.h>

namespace plat {

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  static_assert(sizeof(PAINTSTRUCT) == sizeof(::PAINTSTRUCT));
  return ::BeginPaint(hwnd, reinterpret_cast<::PAINTSTRUCT*>(paint));
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
  return ::EndPaint(hwnd, reinterpret_cast<const ::PAINTSTRUCT*>(paint));
}

BOOL FillSolidRect(HDC dc, const RECT* rect, COLORREF color) {
  if (!dc || !rect) return 0;
  HBRUSH brush = ::CreateSolidBrush(color);
  if (!brush) return 0;
  const ::RECT r{rect->left, rect->top, rect->right, rect->bottom};
  const int done = ::FillRect(dc, &r, brush);
  ::DeleteObject(brush);
  return done;
}

}  // namespace plat
