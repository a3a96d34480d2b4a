#include "app/agentfrm.h"

#include "app/Artwork.h"

namespace {

constexpr plat::COLORREF kTextColor = plat::RGB(254, 243, 211);

}  // namespace

void Tagent::AssignLayout() {
  artwork::Register();
  SetName("agent");
  SetCaption("Tavix Agent 2.0");
  SetBorderStyle(tk::BorderStyle::None);
  SetBorderIcons({false, false, false});
  SetClientWidth(286);
  SetClientHeight(58);
  SetColor(plat::RGB(86, 112, 201));
  SetFont({"Verdana", 13, kTextColor, true});
  SetIcon(artwork::ProgramIcon());

  ProImage1 = new TProImage(this);
  ProImage1->SetName("ProImage1");
  ProImage1->SetParent(this);
  ProImage1->SetBounds(0, 0, 286, 58);
  ProImage1->SetAlign(tk::Align::Client);
  ProImage1->SetStretch(true);
  ProImage1->Picture().LoadFromResourceName(artwork::kBanded);

  ProImage2 = new TProImage(this);
  ProImage2->SetName("ProImage2");
  ProImage2->SetParent(this);
  ProImage2->SetBounds(232, 4, 49, 49);
  ProImage2->SetStretch(true);
  ProImage2->Picture().LoadFromResourceName(artwork::kIcon);

  info = new tk::Label(this);
  info->SetName("info");
  info->SetParent(this);
  info->SetAutoSize(false);
  info->SetBounds(8, 32, 213, 16);
  info->SetCaption("");
  info->SetFont({"Verdana", 11, kTextColor, true});

  Label2 = new tk::Label(this);
  Label2->SetName("Label2");
  Label2->SetParent(this);
  Label2->SetBounds(8, 12, 107, 16);
  Label2->SetCaption("INFORMATION:");
  Label2->SetFont({"Verdana", 13, plat::RGB(40, 80, 128), true});

  agtimer = new tk::Timer(this);
  agtimer->SetName("agtimer");
  agtimer->SetEnabled(false);
  agtimer->SetInterval(3000);
  agtimer->SetOnTimer([this](tk::Component* sender) { agtimerTimer(sender); });

  agspeech = new TvuSpeech(this);
  agspeech->SetName("agspeech");
  agspeech->SetChannels(1);
  agspeech->SetHz(8000);
  agspeech->SetBits(16);
  agspeech->AfterPlay = [this](tk::Component* sender) { agspeechAfterPlay(sender); };

  agtext = new tk::ListBox(this);
  agtext->SetName("agtext");
  agtext->SetParent(this);
  agtext->SetBounds(156, 12, 25, 21);
  agtext->SetVisible(false);
  agtext->SetItemHeight(16);

  agstartup = new tk::CheckBox(this);
  agstartup->SetName("agstartup");
  agstartup->SetParent(this);
  agstartup->SetBounds(84, 44, 97, 17);
  agstartup->SetVisible(false);
  agstartup->SetCaption("agstartup");
  agstartup->SetChecked(true);

  agprops = new TqelApplicationProperties(this);
  agprops->SetName("agprops");
  agprops->SetHintColor(plat::RGB(202, 233, 244));
  agprops->OnIdle = [this](tk::Component* sender, bool& done) { agpropsIdle(sender, done); };
}

void Tagent::agpropsIdle(tk::Component*, bool&) {
  if (!agstartup->Checked()) return;
  // Cleared first: whatever the speech does, the message is handed over once.
  agstartup->SetChecked(false);
  agspeech->Text().push_back(info->Caption());
  agspeech->Speak();
}

void Tagent::agspeechAfterPlay(tk::Component*) { agtimer->SetEnabled(true); }

void Tagent::agtimerTimer(tk::Component*) {
  agtimer->SetEnabled(false);
  // Destroyed once this handler has returned, never from inside it.
  Release();
}
