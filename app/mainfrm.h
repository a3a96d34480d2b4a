#pragma once
// The main window: a borderless logo centred on the screen.
#include "toolkit/Form.h"

class Tmain : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override;
};
