#pragma once
// The main window: a borderless logo centred on the screen while the program starts, then only
// the tray icon, whose menu commands it handles.
#include <memory>
#include <string>

#include "app/InstallKeyReader.h"
#include "app/SettingsFile.h"
#include "controls/ProCtrls.h"
#include "desktop/qelAppProps.h"
#include "desktop/qelComponents.h"
#include "toolkit/CheckBox.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/Timer.h"

class Tmain : public tk::Form {
 public:
  using tk::Form::Form;
  ~Tmain() override;

  TProImage* logo = nullptr;
  TqelAutoRun* autorun = nullptr;
  // The auto-close timer: 120 s, armed by the start-up when the user asked for it.
  tk::Timer* Timer1 = nullptr;
  TqelApplicationProperties* props = nullptr;
  // The once-flag of the start-up: hidden, checked until the start-up begins.
  tk::CheckBox* startup = nullptr;
  TqelTrayIcon* tray = nullptr;
  // Carries the version text once the start-up has run; the other windows copy it from here.
  tk::Label* wersja = nullptr;
  tk::Label* uzytkownik = nullptr;
  tk::PopupMenu* popup = nullptr;
  // The hide timer: 3.5 s after the first arming the logo goes and only the tray icon stays.
  tk::Timer* Timer2 = nullptr;
  tk::MenuItem* ShowEditor1 = nullptr;
  tk::MenuItem* N1 = nullptr;
  tk::MenuItem* QuickHelp1 = nullptr;
  tk::MenuItem* N2 = nullptr;
  tk::MenuItem* Exit1 = nullptr;
  tk::MenuItem* About1 = nullptr;

  static constexpr const char* kVersion = "1.4";

  // The one-time start-up, run from the first idle moment.
  void propsIdle(tk::Component* sender, bool& done);
  void ArmAutoClose();
  // Reports `text` through a new notification window near the bottom-right corner of the
  // screen; a hidden one still speaks it.
  void ShowAgent(const std::string& text, bool visible);
  // Applies the stored display mode and reports the outcome.
  void ApplyDisplayMode();

  void Timer1Timer(tk::Component* sender);
  void Timer2Timer(tk::Component* sender);
  void ShowEditor1Click(tk::Component* sender);
  void QuickHelp1Click(tk::Component* sender);
  void Exit1Click(tk::Component* sender);
  void About1Click(tk::Component* sender);

  // What the start-up learnt; empty or false before it ran.
  const std::string& VersionText() const { return version_; }
  const std::string& InstallPath() const { return installPath_; }
  const std::string& UserName() const { return userName_; }
  bool InstallKeyOpened() const { return installKeyOpened_; }
  bool NotConfigured() const { return notConfigured_; }
  bool AutoClose() const { return autoClose_; }
  // The main window's settings file accessor; null before the start-up created it.
  SettingsFile* Settings() const { return settings_.get(); }

 protected:
  void AssignLayout() override;

 private:
  // The steps of AssignLayout: the window itself, its components, the tray icon's menu.
  void AssignWindow();
  void AssignComponents();
  void AssignTrayMenu();

  std::string version_;
  std::unique_ptr<InstallKeyReader> installKey_;
  std::unique_ptr<SettingsFile> settings_;
  std::string installPath_;
  std::string userName_;
  bool installKeyOpened_ = false;
  bool notConfigured_ = false;
  bool autoClose_ = false;
};

// The program's main window; null before the program entry created it and after it is gone.
Tmain* MainWindow();
void SetMainWindow(Tmain* window);
