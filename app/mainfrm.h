#pragma once
// The main window: a borderless logo centred on the screen.
#include "controls/ProCtrls.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"

class Tmain : public tk::Form {
 public:
  using tk::Form::Form;

  TProImage* logo = nullptr;
  // The once-flag of the start-up: hidden, checked until the start-up begins.
  tk::CheckBox* startup = nullptr;
  tk::Label* wersja = nullptr;
  tk::Label* uzytkownik = nullptr;

 protected:
  void AssignLayout() override;
};
