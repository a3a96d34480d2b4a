#pragma once
// The whole program on the simulated desktop: the install key, the user's settings file, the
// program entry's windows, a user who answers each message box a while after it opens, and the
// tray icon's menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/agentfrm.h"
#include "app/mainfrm.h"
#include "desktop/qelAppProps.h"
#include "platform/messages.h"
#include "platform/sim.h"
#include "platform/sim_config.h"
#include "platform/sim_display.h"
#include "platform/sim_shell.h"
#include "platform/sim_speech.h"
#include "tests/unit/SimApp.h"

class ProgramSim : public SimAppTest {
 protected:
  static constexpr const char* kInstallKey = "Software\\Brenlow\\Tavelin";

  void SetUp() override {
    SimAppTest::SetUp();
    sim::SetScreenSize(800, 600);
    AttendTheProgram();
  }
  // What every run of the program has beside its windows: the multicaster, and a user who reads
  // each box and presses OK `okAfterMs` after it opened.
  void AttendTheProgram() {
    new TMultiCaster(app.get());
    auto* user = new TCustomApplicationEvents(app.get());
    user->OnModalBegin = [this](tk::Component*) {
      boxOpenedAt.push_back(sim::Now());
      // OK ends the box's own loop; the loop that opened it gets a message to look again for
      // work, or a box opened inside an idle moment would leave it waiting for nothing.
      sim::At(okAfterMs, [this] {
        sim::PressOk();
        plat::PostMessageA(app->Handle(), plat::WM_NULL, 0, 0);
      });
    };
  }
  void TearDown() override {
    SimAppTest::TearDown();
    ReleaseAppPropList();
  }

  static std::string Folder() { return sim::WindowsDirectory() + "/Data/"; }
  static std::string UserFile() { return Folder() + "user"; }

  static void Install() {
    std::filesystem::create_directories(Folder());
    sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, kInstallKey, "sciezka", Folder());
  }
  static void WriteUserFile(const std::string& bytes) {
    std::ofstream(UserFile(), std::ios::binary) << bytes;
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // A configured user's file as an Apply leaves it.
  static void Configure(const std::string& mode, const std::string& depth, bool autorun = false,
                        bool autoclose = false) {
    WriteUserFile("[Main]\r\nresolution=" + mode + "\r\nautorun=" + (autorun ? "1" : "0") +
                  "\r\nautoclose=" + (autoclose ? "1" : "0") + "\r\nglebia=" + depth + "\r\nskonfigurowany=1\r\n");
  }

  // The program entry: the main window, then the start-up notification window; entering the
  // loop shows the main window.
  void Start() {
    main = tk::CreateForm<Tmain>(app.get());
    SetMainWindow(main);
    startAgent = tk::CreateForm<Tagent>(app.get());
    main->Show();
  }

  // The program ends and is started again on the same desktop: its files and the registry stay.
  void StartAgain() {
    app.reset();
    ReleaseAppPropList();
    app = std::make_unique<tk::Application>();
    app->Initialize();
    app->SetTitle("Tavelin");
    AttendTheProgram();
    Start();
  }

  // Runs the message loop, with its idle moments, until `ms` of virtual time since the test
  // began, or until the program ends; true when it ended (sim::Now() is then when it did).
  bool RunUntil(std::uint64_t ms) {
    bool reached = false;
    sim::At(ms > sim::Now() ? ms - sim::Now() : 0, [&] { reached = true; });
    while (!reached && !app->Terminated()) app->HandleMessage();
    return app->Terminated();
  }
  void PumpUntil(std::uint64_t ms) { RunUntil(ms); }

  // The notification windows alive now, oldest first (the start-up one included).
  std::vector<sim::FormRecord> Agents() const {
    std::vector<sim::FormRecord> agents;
    for (auto& f : sim::Forms())
      if (f.name == "agent") agents.push_back(f);
    return agents;
  }
  // Their messages, oldest first.
  std::vector<std::string> AgentTexts() const {
    std::vector<std::string> texts;
    for (tk::Form* f : app->Forms())
      if (auto* agent = dynamic_cast<Tagent*>(f)) texts.push_back(agent->info->Caption());
    return texts;
  }
  static std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (auto& box : sim::MessageBoxes()) {
      EXPECT_EQ(box.caption, "Tavelin");
      EXPECT_FALSE(box.error) << box.text;
      texts.push_back(box.text);
    }
    return texts;
  }
  static std::vector<std::u16string> Spoken() { return sim::SpokenTexts(); }

  // Opens the tray icon's menu with the right button and picks `caption`.
  void PickFromTrayMenu(const std::string& caption) {
    sim::OnMenuOpen([caption] { sim::At(0, [caption] { EXPECT_TRUE(sim::PickMenuItem(caption)); }); });
    const auto id = static_cast<plat::UINT>(main->tray->IconID());
    sim::NotifyTrayIcon(main->tray->WindowHandle(), id, plat::WM_RBUTTONDOWN, 700, 590);
    sim::NotifyTrayIcon(main->tray->WindowHandle(), id, plat::WM_RBUTTONUP, 700, 590);
  }

  Tmain* main = nullptr;
  Tagent* startAgent = nullptr;
  std::uint64_t okAfterMs = 1000;
  std::vector<std::uint64_t> boxOpenedAt;
};
