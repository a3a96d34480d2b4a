#pragma once
// The whole program on the simulated desktop: an installed machine (install key, the user
// "anna", her settings folder), the program entry's windows, and the file's bytes on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/mainfrm.h"
#include "desktop/qelAppProps.h"
#include "platform/sim.h"
#include "platform/sim_config.h"
#include "platform/sim_surface.h"
#include "tests/unit/SimApp.h"

class ProgramSession : public SimAppTest {
 protected:
  void SetUp() override {
    SimAppTest::SetUp();
    sim::SetUserName("anna");
    sim::SetScreenSize(1024, 768);
    folder = sim::WindowsDirectory() + "/Data/";
    std::filesystem::create_directories(folder);
    Install(folder);
    new TMultiCaster(app.get());
  }
  void TearDown() override {
    app.reset();
    SetMainWindow(nullptr);
    ReleaseAppPropList();
  }

  static void Install(const std::string& installPath) {
    sim::SetRegistryString(plat::HKEY_LOCAL_MACHINE, "Software\\Brenlow\\Tavelin", "sciezka", installPath);
  }
  std::string SettingsPath() const { return folder + "anna"; }
  void PutSettings(const std::string& bytes) const { std::ofstream(SettingsPath(), std::ios::binary) << bytes; }
  std::string Settings() const {
    std::ifstream in(SettingsPath(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The program entry's main window; its start-up runs at the loop's first idle moment.
  Tmain* StartProgram() {
    main = tk::CreateForm<Tmain>(app.get());
    SetMainWindow(main);
    return main;
  }

  // Names one form among several of the same name, for the sim desktop's actions.
  static std::string Key(tk::Form* form) { return sim::FormKey(form->Handle()); }
  // The font and colour a text was drawn in.
  static plat::FontSpec Look(const sim::DrawOp& op) { return {op.font.face, op.font.pixelHeight, op.color, op.font.bold}; }

  // The first text drawn with exactly this text, or null.
  static const sim::DrawOp* Drawn(const std::vector<sim::DrawOp>& ops, const std::string& text) {
    for (const auto& op : ops)
      if (op.text == text) return &op;
    return nullptr;
  }

  std::string folder;
  Tmain* main = nullptr;
};
