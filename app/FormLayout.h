#pragma once
// Building a stored layout: each control is created owned by its form, named, placed in its
// container and given its bounds, in the order of the layout (which is also its z-order).
#include <string>

#include "toolkit/Control.h"
#include "toolkit/Form.h"

template <class T>
T* PlaceControl(tk::Form* form, tk::ControlContainer* parent, const std::string& name, int left, int top, int width,
                int height) {
  auto* control = new T(form);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}
