// The native popup menu under Windows' own menu loop: timers still run while it is open, the
// keyboard chooses an item, and the chosen item's click arrives through the application's loop.
// (The GTK menu is driven end to end in tests/e2e/linux-tray.sh.)
#ifdef _WIN32
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/PopupMenu.h"
#include "toolkit/Timer.h"

namespace {

constexpr plat::UINT kKeyDown = 0x0100;
constexpr plat::WPARAM kDown = 0x28;
constexpr plat::WPARAM kReturn = 0x0D;

TEST(Win32PopupMenu, TimersRunWhileItIsOpenAndTheKeyboardChoosesAnItem) {
  auto app = std::make_unique<tk::Application>();
  app->Initialize();
  auto* menu = new tk::PopupMenu(app.get());
  std::vector<std::string> log;
  for (const char* caption : {"First", "-", "Second"}) {
    auto* item = new tk::MenuItem(app.get());
    item->SetCaption(caption);
    item->OnClick = [&log, caption](tk::Component*) { log.push_back(caption); };
    menu->Add(item);
  }
  auto* keys = new tk::Timer(app.get());
  int ticks = 0;
  keys->SetInterval(100);
  keys->SetOnTimer([&](tk::Component*) {
    // Down, down (over the separator), Return: the menu loop reads the thread's keyboard messages.
    if (++ticks == 3) {
      for (plat::WPARAM key : {kDown, kDown, kReturn}) plat::PostMessageA(app->Handle(), kKeyDown, key, 0);
    }
  });
  menu->Popup(100, 100);
  keys->SetEnabled(false);
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(log.empty());  // the click comes from the loop, after the menu has closed
  app->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"Second"});
  app.reset();
}

}  // namespace
#endif
