#pragma once
// Painting a window in Windows terms: a paint request hands out a device, drawing goes to it.
#include "platform/wintypes.h"

struct HDC__;

namespace plat {

using HDC = HDC__*;

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};

// Null when the window has nothing to paint on.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
// Fills `rect` with a solid colour.
BOOL FillSolidRect(HDC dc, const RECT* rect, COLORREF color);

}  // namespace plat
