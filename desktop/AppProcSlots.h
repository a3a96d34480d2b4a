#pragma once
// The tray icons' replacement window procedures on the application window.
#include <array>
#include <utility>

#include "desktop/qelComponents.h"
#include "platform/messages.h"
#include "toolkit/Guarded.h"

// A window procedure is a plain function, so each tray icon takes one of a few fixed ones. A slot
// whose icon went while another procedure was installed over it stays as a pass-through, so the
// chain on the application window never breaks, whatever the order of destruction.
struct AppProcSlot {
  bool used = false;
  TqelTrayIcon* icon = nullptr;
  plat::HWND window = nullptr;
  plat::WNDPROC previous = nullptr;
};

struct AppProcSlots {
  using Slot = AppProcSlot;
  static constexpr int kCount = 16;
  static inline std::array<Slot, kCount> slots;

  template <int N>
  static plat::LRESULT Proc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
    Slot& slot = slots[N];
    if (slot.icon) return tk::Guarded([&] { return slot.icon->AppWndProc(msg, wParam, lParam); });
    return plat::CallWindowProcA(slot.previous, hwnd, msg, wParam, lParam);
  }

  template <int... N>
  static constexpr std::array<plat::WNDPROC, kCount> Table(std::integer_sequence<int, N...>) {
    return {&Proc<N>...};
  }
  static inline const std::array<plat::WNDPROC, kCount> procs = Table(std::make_integer_sequence<int, kCount>());
};
