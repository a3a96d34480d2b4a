// The application loop and the sharing of its events among windows, on every backend's real
// loop: idle moments between real timer messages, the application window's hooks fed by real
// window messages, and its task-bar style.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/qelAppProps.h"
#include "platform/messages.h"
#include "tests/support/PropsForm.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

class ApplicationEvents : public testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<tk::Application>();
    app->Initialize();
    app->SetTitle("Tavelin conformance");
    new TMultiCaster(app.get());
  }
  void TearDown() override {
    ReleaseAppPropList();
    app.reset();
    EXPECT_EQ(MultiCaster(), nullptr);
  }

  PropsForm* Window(const std::string& name) { return tk::CreateForm<PropsForm>(app.get(), name); }

  // Runs the loop until a timer ends it after `ms`.
  void RunFor(unsigned ms) {
    tk::Timer stop(app.get());
    stop.SetInterval(ms);
    stop.SetOnTimer([this](tk::Component*) { app->Terminate(); });
    app->Run();
  }

  std::unique_ptr<tk::Application> app;
};

TEST_F(ApplicationEvents, EveryWindowsIdleHandlerRunsAtEveryIdleMomentNewestFirst) {
  std::vector<std::string> log;
  for (const char* name : {"main", "agent", "editor"}) {
    auto* w = Window(name);
    w->props->OnIdle = [&log, w](tk::Component*, bool&) { log.push_back(w->Name()); };
  }
  tk::Timer ticker(app.get());
  int ticks = 0;
  ticker.SetInterval(20);
  ticker.SetOnTimer([&](tk::Component*) { ++ticks; });
  RunFor(200);

  EXPECT_GE(ticks, 2);
  ASSERT_GE(log.size(), 3u);
  ASSERT_EQ(log.size() % 3, 0u) << "an idle moment reached only some windows";
  for (std::size_t i = 0; i < log.size(); i += 3)
    EXPECT_EQ((std::vector<std::string>{log[i], log[i + 1], log[i + 2]}),
              (std::vector<std::string>{"editor", "agent", "main"}));
}

TEST_F(ApplicationEvents, ASettingChangeReachesTheHookAndTheSharedEvent) {
  auto* w = Window("main");
  int settingsChanged = 0;
  std::vector<std::string> sections;
  w->props->OnSettingsChanged = [&](tk::Component*) { ++settingsChanged; };
  w->props->OnSettingChange = [&](tk::Component*, int, const std::string& section, plat::LONG&) {
    sections.push_back(section);
  };
  plat::SendMessageA(app->Handle(), plat::WM_SETTINGCHANGE, 0, reinterpret_cast<plat::LPARAM>("Environment"));
  EXPECT_EQ(settingsChanged, 1);
  EXPECT_EQ(sections, (std::vector<std::string>{"Environment"}));
}

TEST_F(ApplicationEvents, ATitleEqualToTheCurrentOneIsNotWrittenAgain) {
  auto* w = Window("main");
  std::vector<std::string> written;
  const int hook = 0;
  app->HookMainWindow(&hook, [&](tk::Message& m) {
    if (m.msg == plat::WM_SETTEXT) written.push_back(reinterpret_cast<const char*>(m.lParam));
    return false;
  });
  w->props->SetTitle("Tavelin conformance");
  w->props->SetTitle("Tavelin");
  w->props->SetTitle("Tavelin");
  app->UnhookMainWindow(&hook);
  EXPECT_EQ(written, (std::vector<std::string>{"Tavelin"}));
  EXPECT_EQ(w->props->Title(), "Tavelin");
}

TEST_F(ApplicationEvents, HiddenSetsTheApplicationWindowsTaskBarStyle) {
  auto* w = Window("main");
  const plat::HWND appWindow = app->Handle();
  w->props->SetHidden(true);
  EXPECT_FALSE(plat::IsWindowVisible(appWindow));
  auto style = plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE);
  EXPECT_EQ(style & (plat::WS_EX_TOOLWINDOW | plat::WS_EX_APPWINDOW), plat::WS_EX_TOOLWINDOW);
  w->props->SetHidden(false);
  style = plat::GetWindowLongPtrA(appWindow, plat::GWL_EXSTYLE);
  EXPECT_EQ(style & (plat::WS_EX_TOOLWINDOW | plat::WS_EX_APPWINDOW), plat::WS_EX_APPWINDOW);
  EXPECT_TRUE(plat::IsWindowVisible(appWindow));
}

TEST_F(ApplicationEvents, AFormReleasedInsideATimerHandlerGoesAfterTheHandler) {
  auto* main = Window("main");
  auto* notice = Window("notice");
  bool destroyedInsideHandler = true;
  int windowsAfter = -1;
  auto* close = new tk::Timer(notice);
  close->SetInterval(30);
  close->SetOnTimer([&](tk::Component*) {
    notice->Release();
    destroyedInsideHandler = app->Forms().size() != 2;
  });
  tk::Timer check(app.get());
  check.SetInterval(150);
  check.SetOnTimer([&](tk::Component*) {
    windowsAfter = static_cast<int>(app->Forms().size());
    app->Terminate();
  });
  app->Run();
  EXPECT_FALSE(destroyedInsideHandler);
  EXPECT_EQ(windowsAfter, 1);
  EXPECT_EQ(app->MainForm(), main);
}

}  // namespace
