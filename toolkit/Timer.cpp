#include "toolkit/Timer.h"

#include <stdexcept>

#include "platform/messages.h"
#include "toolkit/Application.h"
#include "toolkit/Guarded.h"

namespace tk {

Timer::Timer(Component* owner) : Component(owner) {
  window_ = plat::CreateHiddenWindow("TPUtilWindow", "", &Timer::WindowProc);
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, reinterpret_cast<plat::LONG_PTR>(this));
}

Timer::~Timer() {
  if (running_) plat::KillTimer(window_, 1);
  plat::SetWindowLongPtrA(window_, plat::GWLP_USERDATA, 0);
  plat::DestroyWindow(window_);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void Timer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void Timer::SetOnTimer(NotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void Timer::UpdateTimer() {
  if (running_) {
    plat::KillTimer(window_, 1);
    running_ = false;
  }
  if (enabled_ && interval_ != 0 && onTimer_) {
    if (!plat::SetTimer(window_, 1, interval_, nullptr)) throw std::runtime_error("Not enough timers available");
    running_ = true;
  }
}

plat::LRESULT Timer::WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam) {
  auto* self = reinterpret_cast<Timer*>(plat::GetWindowLongPtrA(hwnd, plat::GWLP_USERDATA));
  if (msg != plat::WM_TIMER || !self) return plat::DefWindowProcA(hwnd, msg, wParam, lParam);
  Guarded([&] {
    if (self->onTimer_) {
      auto handler = self->onTimer_;  // the handler may destroy the timer
      handler(self);
    }
  });
  return 0;
}

}  // namespace tk
