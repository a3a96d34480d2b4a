#include "gallery/GalleryForms.h"

#include <string>

#include "app/Artwork.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/GroupBox.h"
#include "toolkit/RadioButton.h"
#include "toolkit/TrackBar.h"

namespace gallery {
namespace {

const plat::FontSpec kTitle{"Verdana", 13, plat::RGB(55, 57, 128), true};
const plat::FontSpec kBig{"Verdana", 20, plat::RGB(0x31, 0x49, 0x8A), true};

template <class T>
T* Place(tk::Form* form, tk::ControlContainer* parent, int l, int t, int w, int h) {
  auto* c = new T(form);
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  return c;
}

TProLabel* Title(tk::Form* form, tk::ControlContainer* parent, int l, int t, int w, int h, const std::string& text,
                 const plat::FontSpec& font = kBig) {
  auto* label = Place<TProLabel>(form, parent, l, t, w, h);
  label->SetAutoSize(false);
  label->SetFont(font);
  label->SetCaption(text);
  return label;
}

}  // namespace

void ProGallery::AssignLayout() {
  artwork::Register();
  SetName("gallery");
  SetCaption("Tavelin gallery");
  SetClientWidth(520);
  SetClientHeight(360);
  SetColor(plat::RGB(0xEE, 0xF4, 0xFA));
  SetFont({"Verdana", 11, plat::RGB(0, 0, 0)});

  // The light-blue bands tiled behind the whole gallery.
  auto* tiles = Place<TProImage>(this, this, 0, 0, 520, 360);
  tiles->SetAlign(tk::Align::Client);
  tiles->SetTiled(true);
  tiles->Picture().LoadFromResourceName(artwork::kBanded);

  const TShadowStyle styles[] = {TShadowStyle::ssNone,           TShadowStyle::ssRaised,
                                 TShadowStyle::ssRaisedColor,    TShadowStyle::ssRaisedShadow,
                                 TShadowStyle::ssRaisedThickShadow, TShadowStyle::ssRecessed,
                                 TShadowStyle::ssRecessedColor,  TShadowStyle::ssRecessedShadow,
                                 TShadowStyle::ssShadow,         TShadowStyle::ssThickShadow};
  for (int i = 0; i < 10; ++i) {
    auto* label = Title(this, this, 8 + (i % 2) * 130, 8 + (i / 2) * 34, 126, 32, "Tavelin");
    label->SetShadowStyle(styles[i]);
  }
  auto* disabled = Title(this, this, 8, 180, 126, 32, "Tavelin");
  disabled->SetEnabled(false);
  auto* custom = Title(this, this, 138, 180, 126, 32, "Tavelin");
  custom->SetShadowColor(plat::RGB(0xF0, 0xA0, 0x30));
  custom->SetShadowDirection(TDirection::drUpRight);
  custom->SetShadowDepth(2);
  custom->SetShadowSize(2);

  const int angles[] = {45, 90, 180, 270, 315};
  for (int i = 0; i < 5; ++i) {
    auto* label = Title(this, this, 280 + (i % 3) * 80, 8 + (i / 3) * 110, 78, 106, std::to_string(angles[i]) + " deg",
                        kTitle);
    label->SetAngle(angles[i]);
    label->SetAlignment(tk::Alignment::Center);
    label->SetVerticalAlignment(TVerticalAlignment::vaCenter);
  }

  auto* stretched = Place<TProImage>(this, this, 8, 230, 120, 120);
  stretched->SetStretch(true);
  stretched->Picture().LoadFromResourceName(artwork::kIcon);
  auto* centred = Place<TProImage>(this, this, 138, 230, 120, 120);
  centred->SetCenter(true);
  centred->Picture().LoadFromResourceName(artwork::kIcon);
  auto* tiled = Place<TProImage>(this, this, 268, 240, 244, 110);
  tiled->SetTiled(true);
  tiled->Picture().LoadFromResourceName(artwork::kIcon);
  auto* vertical = Title(this, this, 440, 120, 72, 110, "Bottom", kTitle);
  vertical->SetVerticalAlignment(TVerticalAlignment::vaBottom);
  vertical->SetAlignment(tk::Alignment::RightJustify);
  vertical->SetShadowStyle(TShadowStyle::ssShadow);
}

void ControlsPanel::AssignLayout() {
  artwork::Register();
  SetName("controls");
  SetCaption("Tavelin controls");
  SetClientWidth(462);
  SetClientHeight(325);
  SetFont({"Verdana", 11, plat::RGB(0, 0, 0)});
  SetShowHint(true);

  auto* background = Place<TProImage>(this, this, 0, 0, 455, 312);
  background->SetAlign(tk::Align::Client);
  background->SetStretch(true);
  background->Picture().LoadFromResourceName(artwork::kEditor);

  auto* version = Place<tk::Label>(this, this, 346, 4, 112, 13);
  version->SetAlignment(tk::Alignment::RightJustify);
  version->SetCaption("Version: 1.4");
  version->SetFont({"Verdana", 11, plat::RGB(0xF7, 0xF8, 0xFB)});
  auto* notice = Place<tk::Label>(this, this, 8, 304, 120, 13);
  notice->SetCaption("Changes apply at once.");
  notice->SetFont({"Verdana", 11, plat::RGB(0xF7, 0xF8, 0xFB)});
  auto* region = Place<TProMouseRegion>(this, this, 416, 280, 33, 29);
  region->SetHint("View the about screen.");

  auto* info = Place<tk::GroupBox>(this, this, 12, 80, 205, 193);
  info->SetCaption("Current Information:");
  info->SetFont({"Verdana", 11, plat::RGB(0x2D, 0x33, 0x51)});
  const plat::FontSpec bold{"Verdana", 13, plat::RGB(0x47, 0x51, 0x7E), true};
  auto label = [&](int l, int t, int w, const char* text, const plat::FontSpec* font = nullptr) {
    auto* c = Place<tk::Label>(this, info, l, t, w, 13);
    if (font) c->SetFont(*font);
    c->SetCaption(text);
  };
  label(8, 28, 88, "Active User:", &bold);
  label(96, 28, 97, "anna", &bold);
  label(8, 56, 108, "Screen Resolution:");
  label(20, 80, 62, "Horizontal:");
  label(96, 80, 56, "1024");
  label(20, 100, 48, "Vertical:");
  label(96, 100, 56, "768");
  label(12, 132, 118, "Screen Color Depth:");
  label(20, 152, 20, "Bit:");
  label(96, 152, 44, "32");

  auto* settings = Place<tk::GroupBox>(this, this, 228, 80, 221, 193);
  settings->SetCaption("Settings:");
  auto* autorun = Place<tk::CheckBox>(this, settings, 8, 24, 157, 17);
  autorun->SetCaption("Run on system startup.");
  auto* autoclose = Place<tk::CheckBox>(this, settings, 8, 48, 205, 17);
  autoclose->SetCaption("Automatically close after change.");
  autoclose->SetChecked(true);
  auto* mode = Place<tk::Label>(this, settings, 12, 88, 152, 13);
  mode->SetFont({"Verdana", 11, plat::RGB(0x47, 0x51, 0x7E), true});
  mode->SetCaption("Prefered display mode:");
  auto* resolution = Place<tk::Label>(this, settings, 12, 108, 49, 13);
  resolution->SetCaption("1024x768");
  auto* slider = Place<tk::TrackBar>(this, settings, 12, 124, 197, 35);
  slider->SetMin(1);
  slider->SetMax(4);
  slider->SetPosition(3);
  slider->SetThumbLength(25);
  auto* bit16 = Place<tk::RadioButton>(this, settings, 12, 164, 93, 17);
  bit16->SetCaption("16 Bit Depth");
  auto* bit32 = Place<tk::RadioButton>(this, settings, 116, 164, 93, 17);
  bit32->SetCaption("32 Bit Depth");
  bit32->SetChecked(true);

  auto* apply = Place<tk::Button>(this, this, 252, 284, 75, 25);
  apply->SetCaption("Apply");
  auto* exit = Place<tk::Button>(this, this, 332, 284, 75, 25);
  exit->SetCaption("Exit");
}

void EmptyPanel::AssignLayout() {
  SetName("empty");
  SetCaption("Tavelin empty");
  SetClientWidth(462);
  SetClientHeight(325);
}

}  // namespace gallery
