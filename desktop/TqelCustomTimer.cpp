#include "desktop/qelComponents.h"

#include <stdexcept>

#include "platform/messages.h"
#include "toolkit/Guarded.h"

namespace {

constexpr plat::UINT_PTR kTimerId = 1;

}  // namespace

TqelCustomTimer::TqelCustomTimer(tk::Component* owner) : TqelComponent(owner) {
  window_ = plat::CreateHiddenWindow("TqelTimerWindow", "", &TqelCustomTimer::WindowProc);
  if (!window_) throw std::runtime_error("Error creating window");
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
}

TqelCustomTimer::~TqelCustomTimer() {
  plat::KillTimer(window_, kTimerId);
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(window_);
}

void TqelCustomTimer::SetInterval(plat::DWORD ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TqelCustomTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TqelCustomTimer::SetOnTimer(tk::NotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TqelCustomTimer::UpdateTimer() {
  plat::KillTimer(window_, kTimerId);
  if (interval_ != 0 && enabled_ && onTimer_ && !plat::SetTimer(window_, kTimerId, interval_, nullptr))
    throw std::runtime_error("Not enough timers available");
}

void TqelCustomTimer::Timer() { tk::Fire(onTimer_, this); }

plat::LRESULT TqelCustomTimer::WndProc(plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (msg == plat::WM_TIMER) {
    Timer();
    return 0;
  }
  return plat::DefWindowProcA(window_, msg, wParam, lParam);
}

plat::LRESULT TqelCustomTimer::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<TqelCustomTimer*>(plat::GetWindowLongPtrA(hwnd, plat::GWLP_USERDATA));
  if (!self) return plat::DefWindowProcA(hwnd, msg, wParam, lParam);
  return tk::Guarded([&] { return self->WndProc(msg, wParam, lParam); });
}
