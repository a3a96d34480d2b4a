#include "app/mainfrm.h"

#include "app/Artwork.h"
#include "app/ConfigurationError.h"
#include "app/DisplayModeRequest.h"
#include "app/UserName.h"
#include "app/UserSettings.h"
#include "app/aboutfrm.h"
#include "app/agentfrm.h"
#include "app/resolutionfrm.h"
#include "platform/display.h"
#include "platform/startup_trace.h"
#include "toolkit/Application.h"

namespace {

Tmain* theMainWindow = nullptr;

constexpr unsigned kAutoCloseMs = 120000;
constexpr unsigned kHideMs = 3500;

// What the user is told for each answer of the display-mode change: a box first (when there is
// one), then a shown notification.
struct DisplayChangeReport {
  const char* code;
  const char* box;
  const char* notice;
};

constexpr DisplayChangeReport kReports[] = {
    {"dcs", nullptr, "User resolution applied."},
    {"dcr", "Error 1: You need to reboot your machine to make changes. Read program help.", "Error."},
    {"dcbf", "Error 2: Unknown error. Try other graphic modes.", "Error."},
    {"dcf", "Error 3: Unkown error. Try other graphic modes.", "Error."},
    // Only a request to save the mode can fail this way, and none is made: the platform did not
    // do what was asked, and silence would read as success.
    {"dcn", "Error 5: Your screen settings could not be updated. Try again.", "Error."},
    {"dcbm", "Error 4: Your machine does not support this mode.", "Mode not supported."},
    {"error", "Error: Unknown error code.", "Unknown error. Try again."},
};

}  // namespace

Tmain* MainWindow() { return theMainWindow; }
void SetMainWindow(Tmain* window) { theMainWindow = window; }

Tmain::~Tmain() {
  if (theMainWindow == this) theMainWindow = nullptr;
}

// The stored layout, in its stored order: the components are made in the order they were stored,
// which is the order they are loaded and told of idle moments in.
void Tmain::AssignLayout() {
  artwork::Register();
  AssignWindow();
  AssignComponents();
  AssignTrayMenu();
}

void Tmain::AssignWindow() {
  SetName("main");
  SetCaption("Tavelin");
  SetBorderStyle(tk::BorderStyle::None);
  SetPosition(tk::Position::ScreenCenter);
  SetClientWidth(258);
  SetClientHeight(81);
  SetColor(tk::clWhite);
  // White is see-through: only the logo's own pixels show.
  SetTransparentColorValue(tk::clWhite);
  SetTransparentColor(true);
  SetFont({"Verdana", 11, plat::RGB(0x31, 0x49, 0x8A)});
  SetIcon(artwork::ProgramIcon());
}

void Tmain::AssignComponents() {
  logo = new TProImage(this);
  logo->SetName("logo");
  logo->SetParent(this);
  logo->SetAlign(tk::Align::Client);
  logo->SetStretch(true);
  logo->Picture().LoadFromResourceName(artwork::kLogo);

  autorun = new TqelAutoRun(this);
  autorun->SetName("autorun");

  Timer1 = new tk::Timer(this);
  Timer1->SetName("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(kAutoCloseMs);
  Timer1->SetOnTimer([this](tk::Component* sender) { Timer1Timer(sender); });

  props = new TqelApplicationProperties(this);
  props->SetName("props");
  props->SetHintColor(plat::RGB(0xB3, 0xEF, 0xF2));
  props->SetHintHidePause(9600);
  props->SetHintPause(250);
  props->SetHintShortPause(10);
  props->SetIcon(artwork::ProgramIcon());
  props->SetTitle("Tavelin");
  props->OnIdle = [this](tk::Component* sender, bool& done) { propsIdle(sender, done); };

  startup = new tk::CheckBox(this);
  startup->SetName("startup");
  startup->SetParent(this);
  startup->SetBounds(156, 60, 97, 17);
  startup->SetVisible(false);
  startup->SetCaption("startup");
  startup->SetChecked(true);

  tray = new TqelTrayIcon(this);
  tray->SetName("tray");

  wersja = new tk::Label(this);
  wersja->SetName("wersja");
  wersja->SetParent(this);
  wersja->SetBounds(65, 4, 189, 13);
  wersja->SetAlignment(tk::Alignment::RightJustify);
  wersja->SetCaption("Loading program... Please wait...");
  wersja->SetFont({"Verdana", 11, plat::RGB(0x30, 0x76, 0xA9)});

  uzytkownik = new tk::Label(this);
  uzytkownik->SetName("uzytkownik");
  uzytkownik->SetParent(this);
  uzytkownik->SetBounds(64, 4, 64, 13);
  uzytkownik->SetVisible(false);
  uzytkownik->SetCaption("uzytkownik");

  popup = new tk::PopupMenu(this);
  popup->SetName("popup");

  Timer2 = new tk::Timer(this);
  Timer2->SetName("Timer2");
  Timer2->SetEnabled(false);
  Timer2->SetInterval(kHideMs);
  Timer2->SetOnTimer([this](tk::Component* sender) { Timer2Timer(sender); });
}

void Tmain::AssignTrayMenu() {
  auto item = [this](tk::MenuItem*& member, const char* name, const char* caption,
                     void (Tmain::*command)(tk::Component*)) {
    member = new tk::MenuItem(this);
    member->SetName(name);
    member->SetCaption(caption);
    if (command) member->OnClick = [this, command](tk::Component* sender) { (this->*command)(sender); };
    popup->Add(member);
  };
  item(ShowEditor1, "ShowEditor1", "Configure program", &Tmain::ShowEditor1Click);
  item(N1, "N1", "-", nullptr);
  // The default item has no command, so a double click on the tray icon only opens the editor.
  N1->SetDefault(true);
  item(QuickHelp1, "QuickHelp1", "What is it for?", &Tmain::QuickHelp1Click);
  item(N2, "N2", "-", nullptr);
  item(Exit1, "Exit1", "Exit", &Tmain::Exit1Click);
  item(About1, "About1", "About", &Tmain::About1Click);

  tray->SetIcon(artwork::ProgramIcon());
  tray->SetMinimizeToTray(true);
  tray->SetPopupMenu(popup);
  tray->SetInfoTitle("Quick Help");
  tray->SetInfoText(
      "This program is used for personalizing screen settings in WindowsXP. Click on \"Configure program\" to "
      "see more.");
  tray->SetInfoTimeout(3000);
  tray->SetInfoType(tiiInfo);
  tray->OnDblClick = [this](tk::Component* sender) { ShowEditor1Click(sender); };
  tray->SetVisible(true);
}

void Tmain::propsIdle(tk::Component*, bool&) {
  if (!startup->Checked()) return;
  // First of all: an idle moment inside one of the start-up's own boxes must not start it again.
  startup->SetChecked(false);
  notConfigured_ = false;
  version_ = kVersion;
  wersja->SetCaption(version_);

  installKey_ = std::make_unique<InstallKeyReader>();
  installKeyOpened_ = installKey_->OpenInstallKey();
  if (!installKeyOpened_) {
    tk::App()->MessageBox("Tavelin was not installed properly. Please reinstall.");
    ShowAgent("Program not properly installed.", true);
    tk::App()->Terminate();
    return;
  }

  userName_ = QueryUserName();
  uzytkownik->SetCaption(userName_);
  installPath_ = installKey_->ReadInstallPath();
  plat::StartupMilestone("install key read");
  settings_ = std::make_unique<SettingsFile>(SettingsFileName(installPath_, userName_));

  if (usersettings::Configured(*settings_)) {
    autorun->SetAutoRun(usersettings::AutoRun(*settings_));
    autoClose_ = usersettings::AutoClose(*settings_);
  } else {
    tk::App()->MessageBox("Select your prefered screen resolution and color depth and then click on \"Apply\".");
    notConfigured_ = true;
  }

  if (!notConfigured_) {
    ApplyDisplayMode();
    if (autoClose_) ArmAutoClose();
  }
  Timer2->SetEnabled(true);
}

void Tmain::ArmAutoClose() { Timer1->SetEnabled(true); }

void Tmain::ShowAgent(const std::string& text, bool visible) {
  // The window ends its own life; nothing here keeps it.
  auto* agent = tk::CreateForm<Tagent>(this);
  agent->info->SetCaption(text);
  agent->SetLeft(plat::GetSystemMetrics(plat::SM_CXSCREEN) - 305);
  agent->SetTop(plat::GetSystemMetrics(plat::SM_CYSCREEN) - 144);
  if (visible) agent->Show();
}

void Tmain::ApplyDisplayMode() {
  // No accessor: the start-up ended before it could name the user's file (a missing or
  // unreadable install key), and there is no stored choice to apply.
  if (!settings_) throw ConfigurationError("Tavelin was not installed properly. Please reinstall.");
  plat::DEVMODEA request = DisplayModeRequest(usersettings::ModeCode(*settings_), usersettings::DepthText(*settings_));
  plat::StartupMilestone("settings read");
  plat::StartupMilestone("mode request sent");
  const plat::LONG result = plat::ChangeDisplaySettingsA(&request, 0);
  if (result == plat::DISP_CHANGE_SUCCESSFUL) plat::StartupMilestone("screen size changed");
  const std::string code = DisplayChangeResultText(result);
  for (const auto& report : kReports) {
    if (code != report.code) continue;
    if (report.box) tk::App()->MessageBox(report.box);
    ShowAgent(report.notice, true);
    break;
  }
  Timer2->SetEnabled(true);
}

void Tmain::Timer1Timer(tk::Component*) { tk::App()->Terminate(); }

void Tmain::Timer2Timer(tk::Component*) {
  Timer2->SetEnabled(false);
  tray->HideApplication();
}

void Tmain::ShowEditor1Click(tk::Component*) { tk::CreateForm<Tresolution>(this)->Show(); }

void Tmain::QuickHelp1Click(tk::Component*) {
  tray->ShowInfo();
  ShowAgent("Personal screen settings.", false);
}

void Tmain::Exit1Click(tk::Component*) { tk::App()->Terminate(); }

void Tmain::About1Click(tk::Component*) { tk::CreateForm<Tabout>(this)->Show(); }
