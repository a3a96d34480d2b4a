#pragma once
// The main window: a borderless logo centred on the screen.
#include "controls/ProCtrls.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"

class Tmain : public tk::Form {
 public:
  using tk::Form::Form;

  TProImage* logo = nullptr;
  tk::Label* wersja = nullptr;
  tk::Label* uzytkownik = nullptr;

 protected:
  void AssignLayout() override;
};
