// The toolkit's popup menu on the simulated desktop: what the platform is asked to show, the
// chosen item's click through the loop, and a menu that goes before its command arrives.
#include <string>
#include <vector>

#include "platform/sim_shell.h"
#include "tests/unit/SimApp.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/Timer.h"

namespace {

using PopupMenu = SimAppTest;

TEST_F(PopupMenu, ShowsItsVisibleItemsAndRunsTheChosenOneFromTheLoop) {
  auto* menu = new tk::PopupMenu(app.get());
  std::vector<std::string> log;
  auto add = [&](const std::string& caption) {
    auto* item = new tk::MenuItem(app.get());
    item->SetCaption(caption);
    item->OnClick = [&log, caption](tk::Component*) { log.push_back(caption); };
    menu->Add(item);
    return item;
  };
  add("Open")->SetDefault(true);
  add("Hidden")->SetVisible(false);
  add("Greyed")->SetEnabled(false);
  add("-");
  add("Exit");
  menu->OnPopup = [&](tk::Component*) { log.push_back("popup"); };

  // Timers go on while the menu is open.
  auto* timer = new tk::Timer(app.get());
  timer->SetInterval(100);
  timer->SetOnTimer([&](tk::Component*) { log.push_back("tick"); });
  sim::At(250, [] {
    EXPECT_FALSE(sim::PickMenuItem("Greyed"));
    EXPECT_FALSE(sim::PickMenuItem("-"));
    EXPECT_FALSE(sim::PickMenuItem("Hidden"));
    EXPECT_TRUE(sim::PickMenuItem("Exit"));
  });
  menu->Popup(40, 50);
  delete timer;
  ASSERT_EQ(sim::Menus().size(), 1u);
  const auto shown = sim::Menus()[0];
  EXPECT_FALSE(shown.open);
  EXPECT_EQ(shown.x, 40);
  EXPECT_EQ(shown.y, 50);
  std::vector<std::string> captions;
  for (auto& i : shown.items) captions.push_back(i.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"Open", "Greyed", "-", "Exit"}));
  EXPECT_TRUE(shown.items[0].isDefault);
  EXPECT_FALSE(shown.items[1].enabled);
  EXPECT_EQ(log, (std::vector<std::string>{"popup", "tick", "tick"}));
  app->ProcessMessages();
  EXPECT_EQ(log.back(), "Exit");

  // Chosen, then gone before the loop delivers the command: nothing runs.
  log.clear();
  sim::OnMenuOpen([] { sim::At(0, [] { sim::PickMenuItem("Open"); }); });
  menu->Popup(0, 0);
  delete menu;
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"popup"});
}

}  // namespace
