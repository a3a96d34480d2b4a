#pragma once
// The about window: the program's name, version, authors and licence. It shows the main
// window's version text each time it is activated, and "I agree" closes (hides) it.
#include "controls/ProCtrls.h"
#include "toolkit/Button.h"
#include "toolkit/Form.h"
#include "toolkit/GroupBox.h"
#include "toolkit/Label.h"

class Tabout : public tk::Form {
 public:
  using tk::Form::Form;

  TProImage* ProImage1 = nullptr;
  TProLabel* ProLabel1 = nullptr;
  tk::Label* Label1 = nullptr;
  tk::Label* Label2 = nullptr;
  tk::Label* Label3 = nullptr;
  tk::Label* ver_info = nullptr;
  tk::Label* Label5 = nullptr;
  tk::Label* Label6 = nullptr;
  tk::GroupBox* GroupBox1 = nullptr;
  tk::Label* Label7 = nullptr;
  tk::Label* Label8 = nullptr;
  tk::Button* Button1 = nullptr;

  void FormActivate(tk::Component* sender);
  void Button1Click(tk::Component* sender);

 protected:
  void AssignLayout() override;
};
