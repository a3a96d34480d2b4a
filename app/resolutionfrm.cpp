#include "app/resolutionfrm.h"

#include <memory>

#include "app/Artwork.h"
#include "app/FormLayout.h"
#include "app/InstallKeyReader.h"
#include "app/SettingsFile.h"
#include "app/UserName.h"
#include "app/UserSettings.h"
#include "app/aboutfrm.h"
#include "app/agentfrm.h"
#include "app/mainfrm.h"
#include "toolkit/Screen.h"

namespace {

constexpr const char* kNotInstalled = "Tavelin was not installed properly. Please reinstall.";
constexpr const char* kNotConfigured =
    "Select your prefered screen resolution and color depth and then click on \"Apply\".";

const plat::COLORREF kTextColor = plat::RGB(0x47, 0x51, 0x7E);
const plat::COLORREF kLightText = plat::RGB(0xF7, 0xF8, 0xFB);

// The configuration access all settings editors share: each new editor's start-up replaces it.
// It belongs to the application, so it lasts until the program ends.
class EditorConfiguration : public tk::Component {
 public:
  using tk::Component::Component;

  static EditorConfiguration& Of(tk::Application& application) {
    for (tk::Component* c : application.Components())
      if (auto* found = dynamic_cast<EditorConfiguration*>(c)) return *found;
    return *new EditorConfiguration(&application);
  }

  std::unique_ptr<InstallKeyReader> installKey;
  std::unique_ptr<SettingsFile> file;
};

}  // namespace

void Tresolution::AssignLayout() {
  artwork::Register();
  SetName("resolution");
  SetCaption("Tavelin");
  SetBorderStyle(tk::BorderStyle::Single);
  SetBorderIcons({.systemMenu = true, .minimize = true, .maximize = false});
  SetLeft(286);
  SetTop(204);
  SetClientWidth(462);
  SetClientHeight(325);
  SetColor(plat::RGB(0x43, 0x77, 0xC5));
  SetFont({"Verdana", 11, kTextColor});
  SetIcon(artwork::ProgramIcon());
  SetShowHint(true);

  ProImage1 = PlaceControl<TProImage>(this, this, "ProImage1", 0, 0, 462, 325);
  ProImage1->SetAlign(tk::Align::Client);
  ProImage1->SetStretch(true);
  ProImage1->Picture().LoadFromResourceName(artwork::kEditor);

  wersja = PlaceControl<tk::Label>(this, this, "wersja", 346, 4, 112, 13);
  wersja->SetAlignment(tk::Alignment::RightJustify);
  wersja->SetCaption("Version: UNKNOWN");
  wersja->SetHint("Current program version. Click on the arrow logo for more info.");
  wersja->SetFont({"Verdana", 11, kLightText});

  Label14 = PlaceControl<tk::Label>(this, this, "Label14", 8, 304, 120, 13);
  Label14->SetCaption("Settings are kept per user.");
  Label14->SetFont({"Verdana", 11, kLightText});

  aboutregion = PlaceControl<TProMouseRegion>(this, this, "aboutregion", 416, 280, 33, 29);
  aboutregion->SetHint("View the about screen.");
  aboutregion->OnClick = [this](tk::Component* sender) { aboutregionClick(sender); };

  AssignGroups();

  zamknij = PlaceControl<tk::Button>(this, this, "zamknij", 332, 284, 75, 25);
  zamknij->SetCaption("Exit");
  zamknij->SetHint("Close configuration panel.");
  zamknij->OnClick = [this](tk::Component* sender) { zamknijClick(sender); };

  zapisz = PlaceControl<tk::Button>(this, this, "zapisz", 252, 284, 75, 25);
  zapisz->SetCaption("Apply");
  zapisz->SetHint("Save configuration.");
  zapisz->OnClick = [this](tk::Component* sender) { zapiszClick(sender); };

  startup = PlaceControl<tk::CheckBox>(this, this, "startup", 16, 60, 97, 17);
  startup->SetVisible(false);
  startup->SetCaption("startup");
  startup->SetChecked(true);

  // The keyboard goes through the choices, then "Exit" before "Apply".
  GroupBox1->SetTabOrder(0);
  GroupBox2->SetTabOrder(1);
  zamknij->SetTabOrder(2);
  zapisz->SetTabOrder(3);
  startup->SetTabOrder(4);

  props = new TqelApplicationProperties(this);
  props->SetName("props");
  props->SetHintColor(plat::RGB(0xCA, 0xF5, 0xF9));
  props->SetHintHidePause(9500);
  props->SetHintPause(250);
  props->SetHintShortPause(25);
  props->SetIcon(artwork::ProgramIcon());
  props->SetTitle("Tavelin");
  props->OnIdle = [this](tk::Component* sender, bool& done) { propsIdle(sender, done); };
}

void Tresolution::AssignGroups() {
  GroupBox1 = PlaceControl<tk::GroupBox>(this, this, "GroupBox1", 12, 80, 205, 193);
  GroupBox1->SetCaption("Current Information:");
  GroupBox1->SetFont({"Verdana", 11, plat::RGB(0x2D, 0x33, 0x51)});
  const plat::FontSpec bold13{"Verdana", 13, kTextColor, true};
  auto info = [&](const char* name, int left, int top, int width, const char* caption) {
    auto* label = PlaceControl<tk::Label>(this, GroupBox1, name, left, top, width, 13);
    label->SetCaption(caption);
    return label;
  };
  Label1 = info("Label1", 8, 28, 88, "Active User:");
  Label1->SetFont(bold13);
  uzytkownik = info("uzytkownik", 96, 28, 97, "Unknown");
  uzytkownik->SetAutoSize(false);
  uzytkownik->SetAlignment(tk::Alignment::Center);
  uzytkownik->SetFont(bold13);
  uzytkownik->SetHint("Your Windows user name.");
  Label3 = info("Label3", 8, 56, 108, "Screen Resolution:");
  Label4 = info("Label4", 20, 80, 62, "Horizontal:");
  h_res = info("h_res", 96, 80, 56, "Unknown.");
  h_res->SetHint("Current horizontal resolution.");
  Label6 = info("Label6", 20, 100, 48, "Vertical:");
  v_res = info("v_res", 96, 100, 56, "Unknown.");
  v_res->SetHint("Current vertical resolution.");
  Label9 = info("Label9", 12, 132, 118, "Screen Color Depth:");
  Label10 = info("Label10", 20, 152, 20, "Bit:");
  depth = info("depth", 96, 152, 44, "No info.");

  GroupBox2 = PlaceControl<tk::GroupBox>(this, this, "GroupBox2", 228, 80, 221, 193);
  GroupBox2->SetCaption("Settings:");
  ch_autorun = PlaceControl<tk::CheckBox>(this, GroupBox2, "ch_autorun", 8, 24, 157, 17);
  ch_autorun->SetCaption("Run on system startup.");
  ch_autorun->SetHint("Add this program to autostart group.");
  ch_autoclose = PlaceControl<tk::CheckBox>(this, GroupBox2, "ch_autoclose", 8, 48, 205, 17);
  ch_autoclose->SetCaption("Automatically close after change.");
  ch_autoclose->SetHint("Close this program 2 minutes after screen resolution change.");
  Label12 = PlaceControl<tk::Label>(this, GroupBox2, "Label12", 12, 88, 152, 13);
  Label12->SetCaption("Prefered display mode:");
  Label12->SetFont({"Verdana", 11, kTextColor, true});
  rozdzielczosc = PlaceControl<tk::Label>(this, GroupBox2, "rozdzielczosc", 12, 108, 49, 13);
  rozdzielczosc->SetCaption("640x480");
  rozdzielczosc->SetHint("Selected resolution.");
  slider = PlaceControl<tk::TrackBar>(this, GroupBox2, "slider", 12, 124, 197, 35);
  slider->SetMin(1);
  slider->SetMax(4);
  slider->SetPosition(1);
  slider->SetThumbLength(25);
  slider->SetHint("Slide to adjust resolution.");
  slider->OnChange = [this](tk::Component* sender) { sliderChange(sender); };
  bit16 = PlaceControl<tk::RadioButton>(this, GroupBox2, "bit16", 12, 164, 93, 17);
  bit16->SetCaption("16 Bit Depth");
  bit16->SetHint("Select 16 Bit screen color depth.");
  bit16->SetChecked(true);
  bit32 = PlaceControl<tk::RadioButton>(this, GroupBox2, "bit32", 116, 164, 93, 17);
  bit32->SetCaption("32 Bit Depth");
  bit32->SetHint("Select 32 Bit screen color depth.");
}

const char* Tresolution::ModeCaption(int position) {
  static const char* const kCaptions[] = {"640x480", "800x600", "1024x768", "1280x1024"};
  return position >= 1 && position <= 4 ? kCaptions[position - 1] : nullptr;
}

void Tresolution::propsIdle(tk::Component*, bool&) {
  if (!startup->Checked()) return;
  startup->SetChecked(false);
  wersja->SetCaption(MainWindow()->wersja->Caption());

  auto& shared = EditorConfiguration::Of(*tk::App());
  shared.installKey = std::make_unique<InstallKeyReader>();
  if (!shared.installKey->OpenInstallKey()) {
    tk::App()->MessageBox(kNotInstalled);
    ShowAgent("Program not properly installed.");
    tk::App()->Terminate();
    return;
  }
  const std::string userName = QueryUserName();
  uzytkownik->SetCaption(userName);
  const std::string installPath = shared.installKey->ReadInstallPath();
  shared.file = std::make_unique<SettingsFile>(SettingsFileName(installPath, userName));
  h_res->SetCaption(std::to_string(tk::TheScreen().Width()));
  v_res->SetCaption(std::to_string(tk::TheScreen().Height()));

  const SettingsFile& file = *shared.file;
  if (!usersettings::Configured(file)) {
    tk::App()->MessageBox(kNotConfigured);
    return;
  }
  // Only the exact texts "1" to "4" select a mode; anything else leaves the first.
  const std::string mode = usersettings::ModeText(file);
  for (int position = 1; position <= 4; ++position) {
    if (mode != std::to_string(position)) continue;
    slider->SetPosition(position);
    rozdzielczosc->SetCaption(ModeCaption(position));
  }
  if (usersettings::DepthText(file) == "16")
    bit16->SetChecked(true);
  else
    bit32->SetChecked(true);
  ch_autorun->SetChecked(usersettings::AutoRun(file));
  ch_autoclose->SetChecked(usersettings::AutoClose(file));
}

void Tresolution::sliderChange(tk::Component*) {
  if (const char* caption = ModeCaption(slider->Position())) rozdzielczosc->SetCaption(caption);
}

void Tresolution::zapiszClick(tk::Component*) {
  // Pressed before the idle moment that does the editor's start-up (a busy machine): do it first,
  // so that the file is named (and the stored choices shown) rather than taken for missing.
  bool unused = false;
  propsIdle(this, unused);
  if (tk::App()->Terminated()) return;
  SettingsFile* file = EditorConfiguration::Of(*tk::App()).file.get();
  if (!file) {
    // No editor's start-up got as far as the settings file (the install key is broken): there
    // is nowhere to save to, and the choices stay on screen.
    tk::App()->MessageBox(kNotInstalled);
    return;
  }
  using namespace usersettings;
  file->WriteString(kSection, kResolution, std::to_string(slider->Position()));
  file->WriteBool(kSection, kAutoRun, ch_autorun->Checked());
  file->WriteBool(kSection, kAutoClose, ch_autoclose->Checked());
  file->WriteString(kSection, kDepth, bit16->Checked() ? "16" : "32");
  file->WriteBool(kSection, kConfigured, true);
  Hide();
  MainWindow()->ApplyDisplayMode();
  Close();
}

void Tresolution::zamknijClick(tk::Component*) { Close(); }

void Tresolution::aboutregionClick(tk::Component*) { tk::CreateForm<Tabout>(this)->Show(); }

void Tresolution::ShowAgent(const std::string& text) {
  auto* agent = tk::CreateForm<Tagent>(this);
  agent->info->SetCaption(text);
  agent->SetLeft(tk::TheScreen().Width() - 305);
  agent->SetTop(tk::TheScreen().Height() - 144);
  agent->Show();
}
