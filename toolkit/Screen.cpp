#include "toolkit/Screen.h"

#include "platform/display.h"
#include "toolkit/Form.h"

namespace tk {
Screen& TheScreen() {
  static Screen* screen = new Screen;  // lives to the very end, past every form
  return *screen;
}

Screen::Screen() : Component(nullptr) {
  hintFont_.face = "Tahoma";
  hintFont_.pixelHeight = 11;
  iconFont_ = hintFont_;
}

int Screen::Width() const { return plat::GetSystemMetrics(plat::SM_CXSCREEN); }
int Screen::Height() const { return plat::GetSystemMetrics(plat::SM_CYSCREEN); }

void Screen::SetActiveForm(Form* form) {
  if (activeForm_ == form) return;
  activeForm_ = form;
  if (form) form->FreeNotification(this);
  Fire(OnActiveFormChange, this);
}

void Screen::SetActiveControl(Component* control) {
  if (activeControl_ == control) return;
  activeControl_ = control;
  if (control) control->FreeNotification(this);
  Fire(OnActiveControlChange, this);
}

void Screen::SetHintFont(const plat::FontSpec& font) {
  hintFont_ = font;
  Fire(OnHintFontChange, this);
}

void Screen::SetIconFont(const plat::FontSpec& font) {
  iconFont_ = font;
  Fire(OnIconFontChange, this);
}

void Screen::Notification(Component* component, Operation operation) {
  if (operation != Operation::Remove) return;
  if (component == activeControl_) SetActiveControl(nullptr);
  if (component == activeForm_) SetActiveForm(nullptr);
}

}  // namespace tk
