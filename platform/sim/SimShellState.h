#pragma once
// State of the simulated shell and popup menus, shared by the sim backend's files.
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/sim_shell.h"

namespace sim::detail {

struct ShellData {
  bool available = true;
  std::vector<ShellRequest> requests;
  std::vector<TrayIconRecord> icons;
  plat::POINT cursor{0, 0};
  std::set<int> keysDown;
  plat::HWND foreground = nullptr;
  plat::DWORD platformId = plat::VER_PLATFORM_WIN32_NT;
  plat::DWORD major = 6;
  std::string executable = "C:\\Program Files\\Tavelin\\tavelin.exe";
  std::vector<MenuRecord> menus;
  std::optional<plat::UINT> menuChoice;  // set when the open menu closes
  std::function<void()> onMenuOpen;
};

struct ShellState : ShellData {
  std::mutex lock;
};

ShellState& TheShell();
void ResetShell();

}  // namespace sim::detail
