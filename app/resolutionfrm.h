#pragma once
// The settings editor: who is logged on, the screen's size, and the user's choice of display
// mode, colour depth, run at log-on and auto-close. Apply saves the choice and has the main
// window apply it at once. Each "Configure program" makes a new one; closing hides it.
#include <string>

#include "controls/ProCtrls.h"
#include "desktop/qelAppProps.h"
#include "toolkit/Button.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Label.h"
#include "toolkit/RadioButton.h"
#include "toolkit/TrackBar.h"

class Tresolution : public tk::Form {
 public:
  using tk::Form::Form;

  TProImage* ProImage1 = nullptr;
  tk::Label* wersja = nullptr;
  tk::Label* Label14 = nullptr;
  TProMouseRegion* aboutregion = nullptr;
  tk::GroupBox* GroupBox1 = nullptr;
  tk::Label* Label1 = nullptr;
  tk::Label* uzytkownik = nullptr;
  tk::Label* Label3 = nullptr;
  tk::Label* Label4 = nullptr;
  tk::Label* h_res = nullptr;
  tk::Label* Label6 = nullptr;
  tk::Label* v_res = nullptr;
  tk::Label* Label9 = nullptr;
  tk::Label* Label10 = nullptr;
  tk::Label* depth = nullptr;
  tk::GroupBox* GroupBox2 = nullptr;
  tk::CheckBox* ch_autorun = nullptr;
  tk::CheckBox* ch_autoclose = nullptr;
  tk::Label* Label12 = nullptr;
  tk::Label* rozdzielczosc = nullptr;
  tk::TrackBar* slider = nullptr;
  tk::RadioButton* bit16 = nullptr;
  tk::RadioButton* bit32 = nullptr;
  tk::Button* zamknij = nullptr;
  tk::Button* zapisz = nullptr;
  // The once-flag of the start-up: hidden, checked until the start-up begins.
  tk::CheckBox* startup = nullptr;
  TqelApplicationProperties* props = nullptr;

  void propsIdle(tk::Component* sender, bool& done);
  void sliderChange(tk::Component* sender);
  void zapiszClick(tk::Component* sender);
  void zamknijClick(tk::Component* sender);
  void aboutregionClick(tk::Component* sender);
  // Reports `text` through a new, shown notification window owned by this editor.
  void ShowAgent(const std::string& text);

 protected:
  void AssignLayout() override;

 private:
  void AssignGroups();
  // The caption of `rozdzielczosc` for a track bar position; null outside 1 to 4.
  static const char* ModeCaption(int position);
};
