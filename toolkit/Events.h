#pragma once
// Event slots: one handler each, bound to its object by the code that assigns it.
#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "platform/wintypes.h"

namespace tk {

class Component;
class BasicAction;

using NotifyEvent = std::function<void(Component* sender)>;
using IdleEvent = std::function<void(Component* sender, bool& done)>;
using ExceptionEvent = std::function<void(Component* sender, const std::exception& error)>;
using HelpEvent = std::function<bool(plat::WORD command, plat::LONG data, bool& callHelp)>;
using MessageEvent = std::function<void(plat::MSG& msg, bool& handled)>;

// A keyboard message as shortcut handlers see it.
struct KeyMessage {
  plat::UINT msg = 0;
  plat::WORD charCode = 0;
  plat::LONG keyData = 0;
  plat::LRESULT result = 0;
};
using ShortCutEvent = std::function<void(KeyMessage& msg, bool& handled)>;

// Where and how a hint is about to appear.
struct HintInfo {
  Component* hintControl = nullptr;
  plat::POINT cursorPos{0, 0};
  int hintMaxWidth = 0;
  plat::COLORREF hintColor = 0;
  int hideTimeout = 0;
  std::string hintStr;
};
using ShowHintEvent = std::function<void(std::string& hintStr, bool& canShow, HintInfo& info)>;
using ActionEvent = std::function<void(BasicAction* action, bool& handled)>;
using SettingChangeEvent =
    std::function<void(Component* sender, int flag, const std::string& section, plat::LONG& result)>;

// A message of a window as hooks receive it.
struct Message {
  plat::UINT msg = 0;
  plat::WPARAM wParam = 0;
  plat::LPARAM lParam = 0;
  plat::LRESULT result = 0;
};
// Returns true when it handled the message: no later hook and not the window itself sees it.
using WindowHook = std::function<bool(Message& message)>;

// Calls a handler through a copy: the handler may replace or clear the very slot it was called
// from (an events component taking over or giving back the application's handlers).
template <typename Slot, typename... Args>
void Fire(const Slot& slot, Args&&... args) {
  if (!slot) return;
  Slot handler = slot;
  handler(std::forward<Args>(args)...);
}

}  // namespace tk
