#pragma once
// The linux notification area behind Shell_NotifyIconA: each icon is shown by one of the two
// kinds of host Linux desktops have, a StatusNotifierItem watcher on the session bus or an
// XEmbed tray manager, and reports the user's actions as the callback message's codes.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/shell.h"

namespace plat::tray {

// What the shell keeps of one icon.
struct IconState {
  HWND window = nullptr;
  UINT id = 0;
  UINT callbackMessage = 0;
  std::string tip;
  IconImage icon;
};

// Sends an icon's callback message with a notification code, as the Windows shell does.
void PostCallback(const IconState& state, UINT code);

// Turns presses into Windows' codes: a press of the same button within the double-click time and
// distance of the one before is a double click (and the press after that a plain one again).
class ClickSequence {
 public:
  // `button` 1 left, 2 middle, 3 right; `timeMs` the event's time. Returns WM_?BUTTONDOWN or
  // WM_?BUTTONDBLCLK.
  UINT Press(int button, std::uint32_t timeMs, int x, int y, std::uint32_t doubleClickMs, int distance);
  static UINT Release(int button);

 private:
  int lastButton_ = 0;
  std::uint32_t lastTime_ = 0;
  int lastX_ = 0;
  int lastY_ = 0;
  bool armed_ = false;
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  virtual void Update(const IconState& state) = 0;
};

// Null when there is no XEmbed tray manager on the display.
std::unique_ptr<Presenter> CreateXEmbedIcon(const IconState& state);
// Null when there is no session bus or no StatusNotifierWatcher on it.
std::unique_ptr<Presenter> CreateStatusNotifierIcon(const IconState& state);

bool XEmbedHostPresent();
void WatchXEmbedHosts();

// Starts watching for new hosts (a tray manager or a watcher appearing, a host registering while
// an icon is not with the watcher); each is announced to every top-level window as
// "TaskbarCreated". Idempotent.
void WatchForHosts();
// An icon was added without the watcher (to an XEmbed tray, or refused): a host registering with
// the watcher later is worth announcing.
void NoteIconWithoutWatcher();

// Balloons as desktop notifications. The codes come back through the icon's callback message.
void ShowBalloon(const IconState& state, const std::string& title, const std::string& text, DWORD infoFlags,
                 UINT timeoutMs);
// The icon is going: its balloon goes too and reports nothing more.
void ForgetBalloon(HWND window, UINT id);

}  // namespace plat::tray
