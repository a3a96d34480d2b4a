#pragma once
// A window timer: OnTimer every Interval milliseconds while Enabled.
#include "platform/wintypes.h"
#include "toolkit/Component.h"
#include "toolkit/Events.h"

namespace tk {

class Timer : public Component {
 public:
  explicit Timer(Component* owner);
  ~Timer() override;

  bool Enabled() const { return enabled_; }
  // Enabling a running timer does not restart it.
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  // A new interval restarts a running timer.
  void SetInterval(unsigned ms);
  const NotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(NotifyEvent handler);

 private:
  static plat::LRESULT WindowProc(plat::HWND hwnd, plat::UINT msg, plat::WPARAM wParam, plat::LPARAM lParam);
  void UpdateTimer();

  plat::HWND window_ = nullptr;
  bool enabled_ = true;
  bool running_ = false;
  unsigned interval_ = 1000;
  NotifyEvent onTimer_;
};

}  // namespace tk
