#include "platform/linux/GtkCss.h"

#include <cstdio>

namespace plat::gtk {

std::string CssColor(COLORREF c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

std::string CssString(const std::string& s) {
  std::string quoted = "\"";
  for (char ch : s) {
    if (ch == '"' || ch == '\\') quoted += '\\';
    if (ch == '\n') continue;
    quoted += ch;
  }
  return quoted + '"';
}

std::string CssFont(const FontSpec& font) {
  return "font-family: " + CssString(font.face) + "; font-size: " + std::to_string(font.pixelHeight) +
         "px; font-weight: " + (font.bold ? "bold" : "normal") + "; color: " + CssColor(font.color) + ";";
}

}  // namespace plat::gtk
