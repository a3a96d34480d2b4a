#pragma once
// Forms that show what the drawing and the controls can do: a gallery of the picture and label
// controls, a settings-panel-sized form full of controls, and an empty form of the same size.
// The gallery program and the paint benchmark use them.
#include "controls/ProCtrls.h"
#include "toolkit/Form.h"

namespace gallery {

// Shadow presets, rotations, tiling, centring, transparency, a disabled label.
class ProGallery : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override;
};

// 462 x 325: a stretched background, two group boxes with labels, check boxes, a track bar,
// radio buttons, buttons and a mouse region, as the settings editor has them.
class ControlsPanel : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override;
};

// 462 x 325 with nothing on it.
class EmptyPanel : public tk::Form {
 public:
  using tk::Form::Form;

 protected:
  void AssignLayout() override;
};

}  // namespace gallery
