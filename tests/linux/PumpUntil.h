#pragma once
// Runs the message loop (the GUI thread's GLib loop) until `done` holds, looking every 20 ms;
// false after `limit` milliseconds (three seconds unless told).
#include <functional>

#include "platform/messages.h"

namespace xtest {

inline bool PumpUntil(const std::function<bool()>& done, plat::DWORD limit = 3000) {
  plat::HWND ticker = plat::CreateHiddenWindow("TavelinTest", "ticker", &plat::DefWindowProcA);
  plat::SetTimer(ticker, 1, 20, nullptr);
  const plat::DWORD start = plat::GetTickCount();
  bool ok = done();
  plat::MSG m;
  while (!ok && plat::GetTickCount() - start < limit && plat::GetMessageA(&m, nullptr, 0, 0) > 0) {
    plat::DispatchMessageA(&m);
    ok = done();
  }
  plat::DestroyWindow(ticker);
  return ok;
}

}  // namespace xtest
