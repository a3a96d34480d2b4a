#pragma once
// What the sim backend's drawing device records: every operation in order, with its rectangle
// in the window's (or image's) own coordinates, the clip in force, colour, font and text.
//
// Text metrics are fixed so that tests can compute placements exactly:
// - a character advances max(1, pixel height / 2) pixels, one more in bold;
// - a line is `pixel height` pixels high;
// - a tab advances to the next multiple of 8 characters (DT_EXPANDTABS);
// - "&x" draws x underlined and "&&" one "&" unless DT_NOPREFIX is given;
// - DT_WORDBREAK breaks lines at spaces, greedily; a word wider than the line stays whole.
// Images record their own size and the destination rectangle.
#include <optional>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace sim {

enum class DrawKind { Fill, Frame, Text, FormattedText, Image, Copy };

struct DrawOp {
  DrawKind kind = DrawKind::Fill;
  // Fill, Frame, Image: the destination. Text: the unrotated box of the line at its start.
  // FormattedText: the rectangle given. Copy: where the off-screen bitmap lands.
  plat::RECT rect{0, 0, 0, 0};
  // FormattedText: where the text's lines land, as a whole.
  plat::RECT textRect{0, 0, 0, 0};
  // The clip in force; an unclipped device clips to its own size.
  plat::RECT clip{0, 0, 0, 0};
  plat::COLORREF color = 0;
  plat::PenStyle pen = plat::PenStyle::Solid;
  plat::LogicalFont font;
  std::string text;
  plat::UINT format = 0;
  int imageWidth = 0;
  int imageHeight = 0;
  bool keyed = false;
  // Drawn into an off-screen bitmap that a later Copy put here (coordinates already moved).
  bool offscreen = false;
};

// The display list of a form's last paint, which paints only the pending region (what was
// invalidated since); the form paints it first when there is one. Empty for an unknown form.
std::vector<DrawOp> DisplayList(const std::string& nameOrCaption);
// The area a form's last paint covered, in client coordinates (empty for an unknown form).
plat::RECT LastPaintArea(const std::string& nameOrCaption);
// How many times a form has been painted.
int PaintCount(const std::string& nameOrCaption);
// The form's client area as pixels, once its pending region is painted (text as one box per
// visible character, see above).
plat::Pixels FormPixels(const std::string& nameOrCaption);

// The fixed metrics above.
plat::SIZE TextSize(const plat::LogicalFont& font, const std::string& line);

// Mouse input to a form's client area, delivered through its message queue as the real desktop
// delivers it (the next loop turn handles it).
void MouseMove(const std::string& form, int x, int y);
void MouseDown(const std::string& form, int x, int y, bool right = false);
void MouseUp(const std::string& form, int x, int y, bool right = false);
// Press and release at one point (after moving there).
void Click(const std::string& form, int x, int y);
void DoubleClick(const std::string& form, int x, int y);
// The mouse left the form's client area.
void MouseLeave(const std::string& form);

}  // namespace sim
