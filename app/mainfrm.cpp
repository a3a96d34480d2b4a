#include "app/mainfrm.h"

#include "app/Artwork.h"

void Tmain::AssignLayout() {
  artwork::Register();
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
  SetFont({"Verdana", 11, plat::RGB(0x31, 0x49, 0x8A)});
  SetIcon(artwork::ProgramIcon());

  logo = new TProImage(this);
  logo->SetName("logo");
  logo->SetParent(this);
  logo->SetAlign(tk::Align::Client);
  logo->SetStretch(true);
  logo->Picture().LoadFromResourceName(artwork::kLogo);

  startup = new tk::CheckBox(this);
  startup->SetName("startup");
  startup->SetParent(this);
  startup->SetBounds(156, 60, 97, 17);
  startup->SetVisible(false);
  startup->SetCaption("startup");
  startup->SetChecked(true);

  wersja = new tk::Label(this);
  wersja->SetName("wersja");
  wersja->SetParent(this);
  wersja->SetBounds(65, 4, 189, 13);
  wersja->SetAlignment(tk::Alignment::RightJustify);
  wersja->SetCaption("Loading program... Please wait...");
  wersja->SetFont({"Verdana", 11, plat::RGB(0x30, 0x76, 0xA9)});

  uzytkownik = new tk::Label(this);
  uzytkownik->SetName("uzytkownik");
  uzytkownik->SetParent(this);
  uzytkownik->SetBounds(64, 4, 64, 13);
  uzytkownik->SetVisible(false);
  uzytkownik->SetCaption("uzytkownik");
}
