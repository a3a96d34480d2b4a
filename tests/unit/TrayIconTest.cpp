// The tray icon on the simulated shell: the records it sends, the events the shell's
// notifications become, its popup menu, hiding the application, and its end.
#include <functional>
#include <string>
#include <vector>

#include "desktop/qelComponents.h"
#include "platform/sim_shell.h"
#include "tests/support/PlatformVersionScope.h"
#include "tests/unit/SimApp.h"
#include "toolkit/Form.h"

namespace {

plat::IconImage Picture(std::uint32_t colour) { return {2, 2, std::vector<std::uint32_t>(4, colour)}; }

// A main window that owns a tray icon and its popup menu, as the program's does.
class TrayForm : public tk::Form {
 public:
  using Layout = std::function<void(TrayForm&)>;
  TrayForm(tk::Component* owner, Layout layout) : tk::Form(owner), layout_(std::move(layout)) {}

  TqelTrayIcon* tray = nullptr;
  tk::PopupMenu* menu = nullptr;
  tk::MenuItem* configure = nullptr;
  tk::MenuItem* separator = nullptr;
  tk::MenuItem* exit = nullptr;

 protected:
  void AssignLayout() override {
    SetName("main");
    SetClientWidth(200);
    SetClientHeight(100);
    menu = new tk::PopupMenu(this);
    configure = Item("Configure program");
    separator = Item("-");
    exit = Item("Exit");
    tray = new TqelTrayIcon(this);
    tray->SetName("TrayIcon1");
    tray->SetIcon(Picture(0xFF0000FF));
    tray->SetPopupMenu(menu);
    if (layout_) layout_(*this);
  }

 private:
  tk::MenuItem* Item(const std::string& caption) {
    auto* item = new tk::MenuItem(this);
    item->SetCaption(caption);
    menu->Add(item);
    return item;
  }
  Layout layout_;
};

class TrayIcon : public SimAppTest {
 protected:
  TrayForm* MainWindow(TrayForm::Layout layout = {}) {
    auto* form = tk::CreateForm<TrayForm>(app.get(), std::move(layout));
    form->Show();
    Record(*form->tray);
    return form;
  }

  // Logs every event of the icon.
  void Record(TqelTrayIcon& t) {
    auto note = [this](const char* name) { return [this, name](tk::Component*) { log.push_back(name); }; };
    t.OnClick = note("click");
    t.OnDblClick = note("dblclick");
    t.OnPopupMenu = note("popupmenu");
    t.OnShow = note("show");
    t.OnHide = note("hide");
    t.OnMinimize = note("minimize");
    t.OnBalloonShow = note("balloonshow");
    t.OnBalloonTimeout = note("balloontimeout");
    t.OnBalloonClick = note("balloonclick");
    t.OnMouseMove = [this](tk::Component*, TShiftState s, int x, int y) {
      log.push_back("move " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
    };
    auto button = [this](const char* name) {
      return [this, name](tk::Component*, TMouseButton b, TShiftState s, int x, int y) {
        log.push_back(std::string(name) + " " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(x) +
                      "," + std::to_string(y));
      };
    };
    t.OnMouseDown = button("down");
    t.OnMouseUp = button("up");
  }

  static bool Notify(TqelTrayIcon& t, plat::UINT code, int x = 0, int y = 0) {
    return sim::NotifyTrayIcon(t.WindowHandle(), static_cast<plat::UINT>(t.IconID()), code, x, y);
  }
  static std::vector<plat::DWORD> RequestKinds() {
    std::vector<plat::DWORD> kinds;
    for (auto& r : sim::ShellRequests()) kinds.push_back(r.message);
    return kinds;
  }
  static bool AppWindowVisible(tk::Application& a) { return plat::IsWindowVisible(a.Handle()) != 0; }

  std::vector<std::string> log;
};

TEST_F(TrayIcon, ANewIconHasItsStoredDefaults) {
  TqelTrayIcon& tray = *MainWindow()->tray;
  EXPECT_EQ(tray.CycleInterval(), 200u);
  EXPECT_FALSE(tray.CycleIcons());
  EXPECT_EQ(tray.InfoTimeout(), 10000);
  EXPECT_EQ(tray.InfoType(), tiiNone);
}

TEST_F(TrayIcon, ShowingSendsTheWholeRecordAndUnchangedSettersSendNothing) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetHint("Tavelin"); });
  auto& tray = *form->tray;
  sim::ClearShellRequests();
  tray.SetVisible(true);
  ASSERT_EQ(RequestKinds(), std::vector<plat::DWORD>{plat::NIM_ADD});
  const auto add = sim::ShellRequests()[0];
  EXPECT_TRUE(add.accepted);
  EXPECT_EQ(add.data.cbSize, plat::NOTIFYICONDATAA_V2_SIZE);
  EXPECT_EQ(add.data.hWnd, tray.WindowHandle());
  EXPECT_EQ(add.data.uID, 0u);
  EXPECT_EQ(add.data.uFlags, plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP);
  EXPECT_EQ(add.data.uCallbackMessage, 1235u);
  EXPECT_STREQ(add.data.szTip, "Tavelin");
  EXPECT_EQ(add.icon.argb, Picture(0xFF0000FF).argb);
  EXPECT_EQ(log, std::vector<std::string>{"show"});
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(sim::TrayIcons()[0].tip, "Tavelin");

  // Values that do not change touch nothing; stored-only settings never reach the shell.
  sim::ClearShellRequests();
  tray.SetVisible(true);
  tray.SetHint("Tavelin");
  tray.SetShowHint(true);
  tray.SetCycleIcons(false);
  tray.SetIconID(0);
  tray.SetInfoText("x");
  tray.SetPopupByLeft(true);
  tray.SetMinimizeToTray(true);
  tray.SetEnabled(false);
  EXPECT_TRUE(sim::ShellRequests().empty());

  // Without ShowHint the tip is sent empty; the icon's flags keep NIF_TIP.
  tray.SetShowHint(false);
  ASSERT_EQ(RequestKinds(), std::vector<plat::DWORD>{plat::NIM_MODIFY});
  EXPECT_STREQ(sim::ShellRequests()[0].data.szTip, "");
  EXPECT_EQ(sim::TrayIcons()[0].tip, "");

  tray.SetVisible(false);
  EXPECT_EQ(RequestKinds().back(), plat::NIM_DELETE);
  EXPECT_EQ(sim::ShellRequests().back().data.uFlags, plat::NIF_MESSAGE | plat::NIF_TIP);
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_EQ(log, (std::vector<std::string>{"show", "hide"}));

  // A change while hidden is still sent (and refused by the shell, which is no error).
  sim::ClearShellRequests();
  tray.SetHint("other");
  ASSERT_EQ(sim::ShellRequests().size(), 1u);
  EXPECT_FALSE(sim::ShellRequests()[0].accepted);
}

TEST_F(TrayIcon, HintAndBalloonTextsAreCutToTheShellsLimits) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetVisible(true); });
  auto& tray = *form->tray;
  tray.SetHint(std::string(70, 'h'));
  EXPECT_EQ(tray.Hint(), std::string(63, 'h'));
  EXPECT_EQ(sim::TrayIcons()[0].tip, std::string(63, 'h'));
  tray.SetHint(std::string(63, 'g'));
  EXPECT_EQ(tray.Hint(), std::string(63, 'g'));

  tray.SetInfoText(std::string(300, 't'));
  tray.SetInfoTitle(std::string(70, 'T'));
  tray.SetInfoTimeout(3000);
  tray.SetInfoType(tiiInfo);
  sim::ClearShellRequests();
  tray.ShowInfo();
  ASSERT_EQ(RequestKinds(), std::vector<plat::DWORD>{plat::NIM_MODIFY});
  const auto balloon = sim::ShellRequests()[0].data;
  EXPECT_EQ(balloon.uFlags, plat::NIF_INFO);
  EXPECT_EQ(balloon.dwInfoFlags, plat::NIIF_INFO);
  EXPECT_EQ(balloon.uTimeout, 3000u);
  const auto icon = sim::TrayIcons()[0];
  EXPECT_EQ(icon.balloonText, std::string(255, 't'));
  EXPECT_EQ(icon.balloonTitle, std::string(63, 'T'));
  // The balloon does not change the icon's own flags.
  tray.SetHint("after");
  EXPECT_EQ(sim::ShellRequests().back().data.uFlags, plat::NIF_MESSAGE | plat::NIF_ICON | plat::NIF_TIP);

  // An old shell (before NT 5): the short record, no balloon at all.
  PlatformVersionScope nt4(plat::VER_PLATFORM_WIN32_NT, 4);
  sim::ClearShellRequests();
  tray.ShowBalloon();
  EXPECT_TRUE(sim::ShellRequests().empty());
  tray.SetHint(std::string(63, 'o'));
  EXPECT_EQ(sim::ShellRequests().back().data.cbSize, plat::NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(sim::TrayIcons()[0].tip, std::string(63, 'o'));
}

TEST_F(TrayIcon, ButtonsGiveMouseEventsAndTheRightButtonOpensTheMenuAtTheCursor) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetVisible(true); });
  auto& tray = *form->tray;
  form->configure->OnClick = [this](tk::Component*) { log.push_back("configure"); };
  log.clear();

  sim::SetKeyDown(plat::VK_SHIFT, true);
  sim::SetKeyDown(plat::VK_CONTROL, true);
  Notify(tray, plat::WM_MOUSEMOVE, 5, 6);
  sim::SetKeyDown(plat::VK_SHIFT, false);
  sim::SetKeyDown(plat::VK_CONTROL, false);
  sim::OnMenuOpen([] { sim::At(0, [] { EXPECT_TRUE(sim::PickMenuItem("Configure program")); }); });
  Notify(tray, plat::WM_RBUTTONDOWN, 1000, 740);
  Notify(tray, plat::WM_RBUTTONUP, 1000, 740);
  ASSERT_EQ(sim::Menus().size(), 1u);
  const auto menu = sim::Menus()[0];
  EXPECT_EQ(menu.x, 1000);
  EXPECT_EQ(menu.y, 740);
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[0].caption, "Configure program");
  EXPECT_EQ(menu.items[1].caption, "-");
  EXPECT_EQ(form->menu->PopupComponent(), &tray);
  EXPECT_EQ(sim::ForegroundWindow(), form->Handle());
  // The chosen command comes back through the loop, after the menu's own notification.
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"move 5 5,6", "down 1 16 1000,740", "up 1 16 1000,740", "popupmenu",
                                           "configure"}));

  // The left button clicks; it opens the menu only with PopupByLeft. The middle one only presses.
  log.clear();
  sim::ClickTrayIcon(tray.WindowHandle(), 0, plat::WM_LBUTTONDOWN, 3, 4);
  sim::ClickTrayIcon(tray.WindowHandle(), 0, plat::WM_MBUTTONDOWN, 3, 4);
  EXPECT_EQ(sim::Menus().size(), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 8 3,4", "up 0 8 3,4", "click", "down 2 32 3,4", "up 2 32 3,4"}));
  log.clear();
  tray.SetPopupByLeft(true);
  sim::OnMenuOpen([] { sim::At(0, [] { sim::DismissMenu(); }); });
  sim::ClickTrayIcon(tray.WindowHandle(), 0, plat::WM_LBUTTONDOWN, 3, 4);
  EXPECT_EQ(sim::Menus().size(), 2u);
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 8 3,4", "up 0 8 3,4", "click", "popupmenu"}));

  // A menu that does not pop up by itself stays closed.
  form->menu->SetAutoPopup(false);
  Notify(tray, plat::WM_RBUTTONUP);
  EXPECT_EQ(sim::Menus().size(), 2u);
}

TEST_F(TrayIcon, DisabledIconIgnoresEveryNotificationAndBalloonCodesBecomeEvents) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetVisible(true); });
  auto& tray = *form->tray;
  log.clear();
  for (plat::UINT code : {plat::NIN_BALLOONSHOW, plat::NIN_BALLOONTIMEOUT, plat::NIN_BALLOONUSERCLICK,
                          plat::NIN_BALLOONHIDE, plat::WM_RBUTTONDBLCLK})
    Notify(tray, code);
  EXPECT_EQ(log, (std::vector<std::string>{"balloonshow", "balloontimeout", "balloonclick"}));

  log.clear();
  tray.SetEnabled(false);
  for (plat::UINT code : {plat::WM_MOUSEMOVE, plat::WM_LBUTTONDOWN, plat::WM_LBUTTONUP, plat::WM_LBUTTONDBLCLK,
                          plat::WM_RBUTTONDOWN, plat::WM_RBUTTONUP, plat::NIN_BALLOONSHOW, plat::NIN_BALLOONUSERCLICK})
    Notify(tray, code);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(sim::Menus().empty());
  EXPECT_TRUE(form->Visible());

  // The query before the session ends is answered "go ahead".
  EXPECT_EQ(plat::SendMessageA(tray.WindowHandle(), plat::WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(TrayIcon, DoubleClickRunsTheDefaultItemOrHidesAndShowsTheApplication) {
  auto* form = MainWindow([](TrayForm& f) {
    f.tray->SetVisible(true);
    f.tray->SetMinimizeToTray(true);
  });
  auto& tray = *form->tray;
  form->exit->SetDefault(true);
  form->exit->OnClick = [this](tk::Component*) { log.push_back("exit item"); };
  log.clear();
  sim::DoubleClickTrayIcon(tray.WindowHandle(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 8 0,0", "up 0 8 0,0", "click", "exit item", "dblclick",
                                           "up 0 8 0,0"}));
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(sim::ForegroundWindow(), form->Handle());

  // Without a default item, a visible owner goes into the tray with the application...
  form->exit->SetDefault(false);
  log.clear();
  Notify(tray, plat::WM_LBUTTONDBLCLK);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(log, std::vector<std::string>{"dblclick"});
  // ...and a hidden one comes back.
  Notify(tray, plat::WM_LBUTTONDBLCLK);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(AppWindowVisible(*app));

  // With PopupByLeft the default item is not looked for.
  form->exit->SetDefault(true);
  tray.SetPopupByLeft(true);
  log.clear();
  Notify(tray, plat::WM_LBUTTONDBLCLK);
  EXPECT_EQ(log, std::vector<std::string>{"dblclick"});
  EXPECT_FALSE(form->Visible());
}

TEST_F(TrayIcon, AShellRestartBringsTheIconBackAndShowsTheApplication) {
  auto* form = MainWindow([](TrayForm& f) {
    f.tray->SetVisible(true);
    f.tray->SetMinimizeToTray(true);
  });
  form->tray->HideApplication();
  EXPECT_FALSE(form->Visible());
  log.clear();
  sim::RestartShell();
  EXPECT_TRUE(sim::TrayIcons().empty());
  app->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"hide", "show"}));
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_TRUE(sim::TrayIcons()[0].hasIcon);
  EXPECT_TRUE(form->Visible());

  // A hidden icon stays away; a shell that refuses is no error.
  form->tray->SetVisible(false);
  log.clear();
  sim::RestartShell();
  app->ProcessMessages();
  EXPECT_TRUE(log.empty());
  sim::SetShellAvailable(false);
  form->tray->SetVisible(true);
  EXPECT_TRUE(form->tray->Visible());
  EXPECT_TRUE(sim::TrayIcons().empty());
  sim::SetShellAvailable(true);
  sim::RestartShell();  // a notification area appears: the icon shows up
  app->ProcessMessages();
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
}

TEST_F(TrayIcon, MinimizingTheApplicationHidesItIntoTheTray) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetMinimizeToTray(true); });
  plat::ShowWindow(app->Handle(), plat::SW_SHOW);
  log.clear();
  app->Minimize();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(AppWindowVisible(*app));
  EXPECT_TRUE(form->tray->Visible());
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(log, (std::vector<std::string>{"show", "minimize"}));

  // Without MinimizeToTray the application just minimises.
  form->tray->SetVisible(false);
  form->tray->SetMinimizeToTray(false);
  app->Restore();
  form->Show();
  log.clear();
  app->Minimize();
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(log.empty());
}

TEST_F(TrayIcon, MinimizeOnStartKeepsTheMainWindowHidden) {
  auto* form = tk::CreateForm<TrayForm>(app.get(), [](TrayForm& f) { f.tray->SetMinimizeOnStart(true); });
  EXPECT_FALSE(app->ShowMainForm());
  EXPECT_TRUE(form->tray->Visible());
  EXPECT_EQ(sim::TrayIcons().size(), 1u);
  sim::At(0, [this] { app->Terminate(); });
  app->Run();
  EXPECT_FALSE(form->Visible());
}

TEST_F(TrayIcon, ChangingTheIdentifierMovesTheIcon) {
  auto* form = MainWindow([](TrayForm& f) { f.tray->SetVisible(true); });
  log.clear();
  sim::ClearShellRequests();
  form->tray->SetIconID(7);
  ASSERT_EQ(RequestKinds(), (std::vector<plat::DWORD>{plat::NIM_DELETE, plat::NIM_ADD}));
  EXPECT_EQ(sim::ShellRequests()[0].data.uID, 0u);
  EXPECT_EQ(sim::ShellRequests()[1].data.uID, 7u);
  ASSERT_EQ(sim::TrayIcons().size(), 1u);
  EXPECT_EQ(sim::TrayIcons()[0].id, 7u);
  EXPECT_EQ(log, (std::vector<std::string>{"hide", "show"}));
  // While hidden, only the identifier changes.
  form->tray->SetVisible(false);
  sim::ClearShellRequests();
  form->tray->SetIconID(8);
  EXPECT_TRUE(sim::ShellRequests().empty());
}

TEST_F(TrayIcon, IconsCycleThroughTheImageListAndAGoneListIsForgotten) {
  auto* list = new tk::ImageList(app.get());
  for (std::uint32_t c : {0xFF000001u, 0xFF000002u, 0xFF000003u}) list->Add(Picture(c));
  auto* form = MainWindow([&](TrayForm& f) {
    f.tray->SetVisible(true);
    f.tray->SetImageList(list);
    f.tray->SetImageIndex(1);
  });
  auto& tray = *form->tray;
  EXPECT_EQ(sim::TrayIcons()[0].icon.argb[0], 0xFF000002u);
  std::vector<std::uint32_t> shown;
  tray.OnCycleIcons = [&](tk::Component*) {
    shown.push_back(sim::TrayIcons()[0].icon.argb[0]);
    if (shown.size() == 4) app->Terminate();
  };
  tray.SetCycleInterval(100);
  tray.SetCycleIcons(true);
  const auto start = sim::Now();
  app->Run();
  EXPECT_EQ(sim::Now() - start, 400u);
  EXPECT_EQ(shown, (std::vector<std::uint32_t>{0xFF000003u, 0xFF000001u, 0xFF000002u, 0xFF000003u}));
  tray.SetCycleIcons(false);

  // A change in the list reloads the picture; a destroyed list leaves the last picture in place.
  list->Replace(2, Picture(0xFF0000AA));
  EXPECT_EQ(sim::TrayIcons()[0].icon.argb[0], 0xFF0000AAu);
  delete list;
  EXPECT_EQ(tray.ImageList(), nullptr);
  tray.SetImageIndex(0);
  EXPECT_EQ(sim::TrayIcons()[0].icon.argb[0], 0xFF0000AAu);
  // So does a destroyed menu: a right click then opens nothing.
  delete form->menu;
  EXPECT_EQ(tray.PopupMenu(), nullptr);
  Notify(tray, plat::WM_RBUTTONUP);
  EXPECT_TRUE(sim::Menus().empty());
}

TEST_F(TrayIcon, AnIconWithoutAHandleFailsWithTheComponentsError) {
  auto* form = MainWindow();
  plat::IconImage broken{4, 4, {1, 2, 3}};  // fewer pixels than its size
  EXPECT_THROW(form->tray->SetIcon(broken), std::exception);
  try {
    form->tray->SetVisible(true);
    FAIL() << "no error";
  } catch (const EqelTrayIcon& e) {
    EXPECT_STREQ(e.what(), "TrayIcon1.InsertToTray failed");
  }
  // Shown with a good icon that then breaks: taking it away fails alike.
  form->tray->SetIcon(Picture(1));
  form->tray->SetVisible(true);
  EXPECT_THROW(form->tray->SetIcon(broken), std::exception);
  try {
    form->tray->SetVisible(false);
    FAIL() << "no error";
  } catch (const EqelTrayIcon& e) {
    EXPECT_STREQ(e.what(), "TrayIcon1.DeleteFromTray failed");
  }
  form->tray->SetIcon(Picture(1));
}

TEST_F(TrayIcon, DestructionRemovesTheIconAndLeavesTheApplicationWindowsChainWhole) {
  auto* form = MainWindow([](TrayForm& f) {
    f.tray->SetVisible(true);
    f.tray->SetMinimizeToTray(true);
  });
  const auto original = plat::GetWindowLongPtrA(app->Handle(), plat::GWLP_WNDPROC);
  auto* second = new TqelTrayIcon(form);
  second->SetMinimizeToTray(true);
  int secondMinimized = 0;
  second->OnMinimize = [&](tk::Component*) { ++secondMinimized; };
  // The older icon goes first: the newer one still hears the application window.
  delete form->tray;
  EXPECT_TRUE(sim::TrayIcons().empty());
  EXPECT_EQ(log, std::vector<std::string>{"hide"});
  EXPECT_TRUE(form->Visible());
  app->Minimize();
  EXPECT_EQ(secondMinimized, 1);
  EXPECT_FALSE(form->Visible());
  delete second;
  EXPECT_EQ(plat::GetWindowLongPtrA(app->Handle(), plat::GWLP_WNDPROC), original);
  EXPECT_TRUE(form->Visible());  // a tray icon that goes shows what it hid

  // When the program ends, nothing is shown on the way out.
  auto* last = new TqelTrayIcon(form);
  last->SetMinimizeToTray(true);
  last->SetVisible(true);
  last->HideApplication();
  const auto appWindow = app->Handle();
  bool shownAgain = false;
  last->OnHide = [&](tk::Component*) { shownAgain = plat::IsWindowVisible(appWindow) != 0; };
  app.reset();
  EXPECT_FALSE(shownAgain);
  EXPECT_TRUE(sim::TrayIcons().empty());
}

}  // namespace
