// Sim painting: every window can be painted; fills are recorded for tests.
#include "platform/paint.h"
#include "platform/sim/SimDesktop.h"

namespace plat {

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  auto& d = sim::detail::TheDesktop();
  std::lock_guard g(d.lock);
  *paint = PAINTSTRUCT{};
  paint->hdc = reinterpret_cast<HDC>(hwnd);  // one device per window
  paint->fErase = d.eraseOnPaint ? 1 : 0;
  paint->rcPaint = d.paintRect;
  return paint->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*) { return 1; }

BOOL FillSolidRect(HDC dc, const RECT* rect, COLORREF color) {
  if (!dc || !rect) return 0;
  auto& d = sim::detail::TheDesktop();
  std::lock_guard g(d.lock);
  d.fills.push_back({reinterpret_cast<HWND>(dc), *rect, color});
  return 1;
}

}  // namespace plat

namespace sim {

void SetPaintRequest(const plat::RECT& rect, bool erase) {
  std::lock_guard g(detail::TheDesktop().lock);
  detail::TheDesktop().paintRect = rect;
  detail::TheDesktop().eraseOnPaint = erase;
}

std::vector<Fill> Fills() {
  std::lock_guard g(detail::TheDesktop().lock);
  return detail::TheDesktop().fills;
}

}  // namespace sim
