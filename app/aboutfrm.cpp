#include "app/aboutfrm.h"

#include "app/Artwork.h"
#include "app/FormLayout.h"
#include "app/mainfrm.h"

namespace {

const plat::COLORREF kInk = plat::RGB(55, 57, 128);

}  // namespace

void Tabout::AssignLayout() {
  artwork::Register();
  SetName("about");
  SetCaption("Tavelin - program information");
  SetBorderStyle(tk::BorderStyle::ToolWindow);
  SetBorderIcons({.systemMenu = false, .minimize = false, .maximize = false});
  SetPosition(tk::Position::ScreenCenter);
  SetClientWidth(456);
  SetClientHeight(304);
  SetColor(plat::RGB(62, 126, 198));
  SetFont({"Verdana", 13, kInk});
  SetIcon(artwork::ProgramIcon());
  OnActivate = [this](tk::Component* sender) { FormActivate(sender); };

  ProImage1 = PlaceControl<TProImage>(this, this, "ProImage1", 0, 0, 456, 304);
  ProImage1->SetAlign(tk::Align::Client);
  ProImage1->SetStretch(true);
  ProImage1->Picture().LoadFromResourceName(artwork::kBanded);

  ProLabel1 = PlaceControl<TProLabel>(this, this, "ProLabel1", 8, 4, 276, 45);
  ProLabel1->SetFont({"Verdana", 37, kInk, true});
  ProLabel1->SetCaption("Tavelin");

  const plat::FontSpec heading{"Verdana", 13, kInk, true};
  auto label = [&](tk::ControlContainer* parent, const char* name, int left, int top, int width, const char* caption) {
    auto* l = PlaceControl<tk::Label>(this, parent, name, left, top, width, 16);
    l->SetCaption(caption);
    return l;
  };
  Label1 = label(this, "Label1", 16, 64, 113, "Program Name:");
  Label1->SetFont(heading);
  Label2 = label(this, "Label2", 152, 64, 141, "Tavelin (Tavix)");
  Label3 = label(this, "Label3", 16, 84, 126, "Program Version:");
  Label3->SetFont(heading);
  ver_info = label(this, "ver_info", 152, 84, 217, "Unknown. Please reinstall Tavix.");
  ver_info->SetFont({"Verdana", 13, plat::RGB(225, 226, 242)});
  Label5 = label(this, "Label5", 16, 104, 120, "Program Author:");
  Label5->SetFont(heading);
  Label6 = label(this, "Label6", 152, 104, 291, "The Tavelin developers");

  GroupBox1 = PlaceControl<tk::GroupBox>(this, this, "GroupBox1", 12, 128, 429, 129);
  GroupBox1->SetCaption("License:");
  Label7 = label(GroupBox1, "Label7", 16, 24, 397, "");
  Label7->SetAutoSize(false);
  Label7->SetHeight(64);
  Label7->SetWordWrap(true);
  Label7->SetCaption(
      "Tavelin is freeware: you may use it and give it to others free of charge. "
      "It comes without any warranty.");
  Label8 = label(GroupBox1, "Label8", 16, 96, 272, "Copyright 2026 the Tavelin developers.");

  Button1 = PlaceControl<tk::Button>(this, this, "Button1", 364, 268, 75, 25);
  Button1->SetCaption("I agree");
  Button1->SetFont({"Verdana", 11, kInk});
  Button1->OnClick = [this](tk::Component* sender) { Button1Click(sender); };

  GroupBox1->SetTabOrder(0);
  Button1->SetTabOrder(1);
}

void Tabout::FormActivate(tk::Component*) { ver_info->SetCaption(MainWindow()->wersja->Caption()); }

void Tabout::Button1Click(tk::Component*) { Close(); }
