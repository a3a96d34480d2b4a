#pragma once
// A framed group with a caption; its children take its font (and font colour) unless they
// have their own.
#include "toolkit/WinControl.h"

namespace tk {

class GroupBox : public WinControl, public ControlContainer {
 public:
  explicit GroupBox(Component* owner);

  Form* ContainerForm() override { return ParentForm(); }
  Control* AsControl() override { return this; }
  ControlContainer* AsContainer() override { return this; }
  void ChildGoing(Control* child) override {
    if (Parent()) Parent()->ChildGoing(child);
  }
  PointerTracker* Pointer() override { return Parent() ? Parent()->Pointer() : nullptr; }
  plat::POINT ClientOrigin() const override { return FormOrigin(); }
  int ClientWidth() const override { return Width(); }
  int ClientHeight() const override { return Height(); }
  const plat::FontSpec& GetFont() const override { return Control::GetFont(); }
  Color GetColor() const override { return Control::GetColor(); }
  bool ShowHint() const override { return Control::ShowHint(); }
  void InvalidateArea(const plat::RECT& area) override { InvalidateFormArea(area); }
  void PaintPending() override {
    if (Parent()) Parent()->PaintPending();
  }

 protected:
  plat::ControlKind Kind() const override { return plat::ControlKind::GroupBox; }
  void FontChanged() override;
};

}  // namespace tk
