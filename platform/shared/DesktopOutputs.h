#pragma once
// The outputs of a Wayland desktop as its own configuration interface reports them, and the
// rules that pick the output and the mode a display-mode request means.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace plat::desk {

struct OutputMode {
  int width = 0;  // the mode's own size, before any rotation
  int height = 0;
  int refreshMilliHz = 0;
  bool preferred = false;
  const void* handle = nullptr;  // the interface's own object or id for this mode
};

struct OutputHead {
  std::string name;
  bool enabled = false;
  bool primary = false;  // marked primary by the desktop (GNOME, KDE); wlroots marks none
  int x = 0;
  int y = 0;
  bool sideways = false;  // rotated by 90 or 270 degrees
  double scale = 1.0;
  std::vector<OutputMode> modes;
  std::optional<std::size_t> currentMode;  // index into modes
  const void* handle = nullptr;

  const OutputMode* Current() const { return currentMode && *currentMode < modes.size() ? &modes[*currentMode] : nullptr; }
};

struct LogicalSize {
  int width = 0;
  int height = 0;
};

// The size the output covers on the desktop: its mode, turned and divided by its scale.
std::optional<LogicalSize> LogicalSizeOf(const OutputHead& head);

// The primary output: the one the desktop marks primary if it is enabled, else the enabled one at
// (0,0), else the first enabled one; nullopt when none is enabled.
std::optional<std::size_t> PrimaryHead(const std::vector<OutputHead>& heads);

// The width and height asked for, as the screen shows them (swapped on a sideways output), with a
// refresh rate in Hz where 0 and 1 mean the mode's own rate.
struct ModeWanted {
  int width = 0;
  int height = 0;
  int refreshHz = 0;
};

// The offered mode that shows what was asked: the current one when it does, else the preferred,
// else the fastest; nullopt when the output offers no such mode.
std::optional<std::size_t> FindOfferedMode(const OutputHead& head, const ModeWanted& wanted);

// Whether the output shows what was asked now.
bool ShowsMode(const OutputHead& head, const ModeWanted& wanted);

// Wayland outputs are XRGB8888 throughout: no depth to switch, 32 bits per pixel shown.
constexpr DWORD kOutputBitsPerPixel = 32;

enum class DisplaySession { X11, Wayland };

// From $WAYLAND_DISPLAY and $XDG_SESSION_TYPE (either may be null).
DisplaySession ChooseDisplaySession(const char* waylandDisplay, const char* sessionType);

// The output configuration interfaces a desktop may offer.
enum class OutputInterface { Unavailable, Wlroots, Kde, Mutter };

struct OfferedInterfaces {
  bool wlrootsOutputManager = false;  // zwlr_output_manager_v1 among the compositor's globals
  bool kdeOutputManagement = false;   // kde_output_management_v2 and kde_output_device_v2
  bool mutterDisplayConfig = false;   // org.gnome.Mutter.DisplayConfig owned on the session bus
};

// The compositor's own globals say more than a bus name another program may own.
OutputInterface ChooseOutputInterface(const OfferedInterfaces& offered);

}  // namespace plat::desk
