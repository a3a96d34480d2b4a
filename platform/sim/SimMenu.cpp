// Sim popup menus: a record that stays open, running the application's loop, until a test picks
// an item or dismisses it.
#include <algorithm>
#include <utility>

#include "platform/menu.h"
#include "platform/sim/SimShellState.h"

namespace {

using sim::detail::TheShell;

std::optional<std::size_t> OpenMenu(sim::detail::ShellState& s) {
  for (std::size_t i = s.menus.size(); i-- > 0;)
    if (s.menus[i].open) return i;
  return std::nullopt;
}

void Close(sim::detail::ShellState& s, std::size_t index, plat::UINT choice) {
  s.menus[index].open = false;
  s.menuChoice = choice;
}

}  // namespace

namespace plat {

UINT TrackMenu(HWND, const std::vector<MenuItemSpec>& items, int x, int y, ModalPump& pump) {
  auto& s = TheShell();
  std::size_t index;
  std::function<void()> onOpen;
  {
    std::lock_guard g(s.lock);
    // One popup menu at a time, as on every desktop: a new one closes the old.
    if (auto open = OpenMenu(s)) Close(s, *open, 0);
    s.menus.push_back({items, x, y, true});
    index = s.menus.size() - 1;
    s.menuChoice.reset();
    onOpen = std::exchange(s.onMenuOpen, nullptr);
  }
  if (onOpen) onOpen();
  for (;;) {
    {
      std::lock_guard g(s.lock);
      if (index >= s.menus.size()) return 0;  // a Reset in between
      if (!s.menus[index].open) return s.menuChoice.value_or(0);
    }
    if (!pump.HandleOneMessage()) {
      std::lock_guard g(s.lock);
      if (index < s.menus.size()) s.menus[index].open = false;
      return 0;
    }
  }
}

}  // namespace plat

namespace sim {

std::vector<MenuRecord> Menus() {
  std::lock_guard g(TheShell().lock);
  return TheShell().menus;
}

bool PickMenuItem(const std::string& caption) {
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  auto open = OpenMenu(s);
  if (!open) return false;
  const auto& items = s.menus[*open].items;
  auto it = std::find_if(items.begin(), items.end(), [&](const plat::MenuItemSpec& i) { return i.caption == caption; });
  if (it == items.end() || it->caption == "-" || !it->enabled) return false;
  Close(s, *open, it->command);
  return true;
}

bool DismissMenu() {
  auto& s = TheShell();
  std::lock_guard g(s.lock);
  auto open = OpenMenu(s);
  if (!open) return false;
  Close(s, *open, 0);
  return true;
}

void OnMenuOpen(std::function<void()> action) {
  std::lock_guard g(TheShell().lock);
  TheShell().onMenuOpen = std::move(action);
}

}  // namespace sim
