#pragma once
// CSS text for GTK style providers from our colours and fonts.
#include <string>

#include "platform/peers.h"

namespace plat::gtk {

std::string CssColor(COLORREF color);
std::string CssString(const std::string& text);
// "font-family: ...; font-size: Npx; font-weight: ...; color: #rrggbb;"
std::string CssFont(const FontSpec& font);

}  // namespace plat::gtk
