#pragma once
// Rectangle arithmetic on RECT (right and bottom exclusive), the same on every backend.
#include <algorithm>

#include "platform/wintypes.h"

namespace plat {

inline bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The common part; an empty rectangle when there is none.
inline RECT RectIntersection(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return RectEmpty(r) ? RECT{0, 0, 0, 0} : r;
}

// The smallest rectangle holding both; an empty one counts for nothing.
inline RECT RectUnion(const RECT& a, const RECT& b) {
  if (RectEmpty(a)) return b;
  if (RectEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

inline RECT RectOffset(const RECT& r, LONG dx, LONG dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

}  // namespace plat
