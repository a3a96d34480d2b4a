#pragma once
// The simulated desktop, as tests script and inspect it. Time is virtual: when the GUI thread's
// loop has nothing to do, the clock jumps to the next timer or scripted action at once.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/peers.h"

namespace sim {

// Forgets the scripted actions, message boxes and screen changes of an earlier test, sets the
// clock back to 0 (timers of an earlier test must be gone), resets the configuration
// (sim_config.h: ResetConfiguration), empties the notification area and forgets menus, cursor
// and keys (sim_shell.h), and makes
// the calling thread the GUI thread. Windows and timers still alive are the test's business.
void Reset();

std::uint64_t Now();
// Moves the clock forward; timers falling due are delivered by the next message-loop turn.
void Advance(std::uint64_t ms);
// Runs `action` on the GUI thread when its loop sleeps and the clock reaches now + delayMs.
void At(std::uint64_t delayMs, std::function<void()> action);

void SetScreenSize(int width, int height);
// The frame that windows of a border style get around their client area (none after Reset).
void SetFrameExtents(plat::BorderStyle style, plat::RECT extents);
// Whether the program counts as started minimised (read by the application at Initialize).
void SetStartedMinimized(bool minimized);

struct FormRecord {
  plat::HWND handle = nullptr;
  std::string name;
  std::string caption;
  plat::BorderStyle border = plat::BorderStyle::Single;
  plat::BorderIcons icons;
  int left = 0;
  int top = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  std::optional<plat::COLORREF> transparentColor;
  plat::FontSpec font;
  plat::IconImage icon;
  bool visible = false;
  // Where the window lies among the others: as on a desktop, one that appears or is brought to
  // the front goes above every other; higher is above.
  std::uint64_t stacking = 0;
  plat::CursorShape cursor = plat::CursorShape::Arrow;
};

// Live forms, oldest first; a form is found by its name or its caption, or by FormKey when
// several share them.
std::vector<FormRecord> Forms();
std::optional<FormRecord> FindForm(const std::string& nameOrCaption);
std::string FormKey(plat::HWND handle);
// Asks a form to close as its title bar's close button would.
bool CloseForm(const std::string& nameOrCaption);
// The user makes a shown form the active window (showing a hidden form activates it too); the
// activation arrives through the message loop.
bool ActivateForm(const std::string& nameOrCaption);

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  bool error = false;
  bool open = false;
};

// Every message box shown since Reset, in order.
std::vector<MessageBoxRecord> MessageBoxes();
// Presses OK on the newest open message box; false when none is open.
bool PressOk();

// Whether the desktop counts as drawing in visual styles (on after Reset).
void SetVisualStyles(bool active);

// What the next paint request of any window asks for (the rectangle, and whether the
// background is to be erased first).
void SetPaintRequest(const plat::RECT& rect, bool erase);

struct Fill {
  plat::HWND window;
  plat::RECT rect;
  plat::COLORREF color;
};
// Every solid fill painted since Reset.
std::vector<Fill> Fills();

}  // namespace sim
