#pragma once
// Window records of the portable message core, as the linux and sim backends see them: the
// toolkit's native peers create their windows here and learn of ShowWindow calls.
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace plat::core {

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  virtual void ShowStateChanged(bool visible, bool iconic) = 0;
  // GWL_EXSTYLE was set (the task-bar bits of the application window, above all).
  virtual void ExStyleChanged(LONG_PTR exStyle) {}
  // SetForegroundWindow: the native window is to come to the front and take the focus.
  virtual void BringToFront() {}
};

HWND CreateCoreWindow(const char* className, const char* caption, WNDPROC proc);
void SetWindowObserver(HWND hwnd, WindowObserver* observer);
void SetWindowCaption(HWND hwnd, const std::string& caption);
std::string WindowCaption(HWND hwnd);
// Asks the window's observer to bring it to the front; false for no such window.
BOOL BringToFront(HWND hwnd);
std::string WindowClassName(HWND hwnd);
// Every live window, oldest first.
std::vector<HWND> AllWindows();

}  // namespace plat::core
