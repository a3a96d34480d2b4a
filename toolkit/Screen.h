#pragma once
// The screen as the program sees it: its size read at the moment of asking, the active form and
// control, and the fonts of hints and icons, each with a change event.
#include "platform/peers.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class Form;

class Screen : public Component {
 public:
  Screen();

  int Width() const;
  int Height() const;

  Form* ActiveForm() const { return activeForm_; }
  void SetActiveForm(Form* form);
  Component* ActiveControl() const { return activeControl_; }
  void SetActiveControl(Component* control);

  const plat::FontSpec& HintFont() const { return hintFont_; }
  void SetHintFont(const plat::FontSpec& font);
  const plat::FontSpec& IconFont() const { return iconFont_; }
  void SetIconFont(const plat::FontSpec& font);

  NotifyEvent OnActiveFormChange;
  NotifyEvent OnActiveControlChange;
  NotifyEvent OnHintFontChange;
  NotifyEvent OnIconFontChange;

 protected:
  void Notification(Component* component, Operation operation) override;

 private:
  Form* activeForm_ = nullptr;
  Component* activeControl_ = nullptr;
  plat::FontSpec hintFont_;
  plat::FontSpec iconFont_;
};

// The program's one screen object.
Screen& TheScreen();

}  // namespace tk
