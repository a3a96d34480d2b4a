// The tray icon on every backend's real windows: minimising the real application window hides
// the application into the tray through the replaced window procedure, a callback message from
// the loop becomes the icon's events, and the icon's end puts the procedure back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "desktop/qelComponents.h"
#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Timer.h"

namespace {

class TrayOwner : public tk::Form {
 public:
  explicit TrayOwner(tk::Component* owner) : tk::Form(owner) {}
  TqelTrayIcon* tray = nullptr;

 protected:
  void AssignLayout() override {
    SetName("trayowner");
    SetCaption("Tray owner");
    SetClientWidth(120);
    SetClientHeight(60);
    tray = new TqelTrayIcon(this);
    tray->SetName("TrayIcon1");
    tray->SetIcon({16, 16, std::vector<std::uint32_t>(256, 0xFF30A040)});
    tray->SetHint("Tavelin conformance");
    tray->SetMinimizeToTray(true);
  }
};

TEST(TrayIconLoop, MinimisingTheApplicationHidesItIntoTheTrayAndCallbacksBecomeEvents) {
  auto app = std::make_unique<tk::Application>();
  app->Initialize();
  app->SetTitle("Tavelin conformance");
  const auto original = plat::GetWindowLongPtrA(app->Handle(), plat::GWLP_WNDPROC);
  auto* form = tk::CreateForm<TrayOwner>(app.get());
  form->Show();
  std::vector<std::string> log;
  form->tray->OnMinimize = [&](tk::Component*) { log.push_back("minimize"); };
  form->tray->OnClick = [&](tk::Component*) { log.push_back("click"); };
  form->tray->OnBalloonClick = [&](tk::Component*) { log.push_back("balloonclick"); };

  auto* steps = new tk::Timer(app.get());
  int step = 0;
  steps->SetInterval(50);
  steps->SetOnTimer([&](tk::Component*) {
    switch (step++) {
      case 0:
        app->Minimize();
        break;
      case 1: {
        // As the shell sends them: posted to the icon's window, with the icon's identifier.
        const auto window = form->tray->WindowHandle();
        plat::PostMessageA(window, WM_TRAYICON, 0, plat::WM_LBUTTONDOWN);
        plat::PostMessageA(window, WM_TRAYICON, 0, plat::WM_LBUTTONUP);
        plat::PostMessageA(window, WM_TRAYICON, 0, plat::NIN_BALLOONUSERCLICK);
        break;
      }
      default:
        app->Terminate();
    }
  });
  app->Run();

  EXPECT_EQ(log, (std::vector<std::string>{"minimize", "click", "balloonclick"}));
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(plat::IsWindowVisible(app->Handle()));
  EXPECT_TRUE(form->tray->Visible());
  EXPECT_EQ(plat::SendMessageA(form->tray->WindowHandle(), plat::WM_QUERYENDSESSION, 0, 0), 1);

  delete form->tray;
  EXPECT_EQ(plat::GetWindowLongPtrA(app->Handle(), plat::GWLP_WNDPROC), original);
  EXPECT_TRUE(form->Visible());  // the icon's end shows what it hid
  app.reset();
}

}  // namespace
