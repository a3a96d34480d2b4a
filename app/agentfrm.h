#pragma once
// A notification window: a small borderless pop-up with one message. On its first idle moment it
// speaks the message; three seconds after the speech has ended it destroys itself.
#include "controls/ProCtrls.h"
#include "desktop/qelAppProps.h"
#include "speech/vuspeech.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/Timer.h"

class Tagent : public tk::Form {
 public:
  using tk::Form::Form;

  TProImage* ProImage1 = nullptr;
  TProImage* ProImage2 = nullptr;
  // The message; the window keeps it nowhere else.
  tk::Label* info = nullptr;
  tk::Label* Label2 = nullptr;
  // The close timer, started when the speech has ended.
  tk::Timer* agtimer = nullptr;
  TvuSpeech* agspeech = nullptr;
  tk::ListBox* agtext = nullptr;
  // The once-flag: hidden, checked until the message has been handed to the speech.
  tk::CheckBox* agstartup = nullptr;
  TqelApplicationProperties* agprops = nullptr;

  void agtimerTimer(tk::Component* sender);
  void agspeechAfterPlay(tk::Component* sender);
  void agpropsIdle(tk::Component* sender, bool& done);

 protected:
  void AssignLayout() override;
};
