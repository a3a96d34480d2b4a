#pragma once
// Colours: an RGB COLORREF, or a system colour (its index with the top bit set) that is resolved
// when drawn.
#include "platform/wintypes.h"

namespace tk {

using Color = plat::COLORREF;

constexpr Color kSystemColorFlag = 0x80000000u;
constexpr Color SystemColor(int index) { return kSystemColorFlag | static_cast<Color>(index); }

constexpr Color clBackground = SystemColor(1);   // the desktop background
constexpr Color clWindow = SystemColor(5);
constexpr Color clWindowText = SystemColor(8);
constexpr Color clBtnFace = SystemColor(15);
constexpr Color clBtnShadow = SystemColor(16);
constexpr Color clGrayText = SystemColor(17);
constexpr Color clBtnText = SystemColor(18);
constexpr Color clBtnHighlight = SystemColor(20);
constexpr Color clInfoText = SystemColor(23);
constexpr Color clInfoBk = SystemColor(24);      // tooltip background
constexpr Color clWhite = plat::RGB(255, 255, 255);
constexpr Color clBlack = plat::RGB(0, 0, 0);

// The RGB value of a colour, system colours as the desktop shows them now.
Color ColorToRGB(Color color);

}  // namespace tk
