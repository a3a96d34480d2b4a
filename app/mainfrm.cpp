#include "app/mainfrm.h"

void Tmain::AssignLayout() {
  SetName("main");
  SetCaption("Tavelin");
  SetBorderStyle(tk::BorderStyle::None);
  SetPosition(tk::Position::ScreenCenter);
  SetClientWidth(258);
  SetClientHeight(81);
  SetColor(tk::clWhite);
  // White is see-through: only the logo's own pixels show.
  SetTransparentColorValue(tk::clWhite);
  SetTransparentColor(true);
  SetFont({"Verdana", 11, tk::clBlack});
}
