#include "platform/shared/DesktopOutputs.h"

#include <cmath>
#include <cstring>

namespace plat::desk {

std::optional<LogicalSize> LogicalSizeOf(const OutputHead& head) {
  const OutputMode* mode = head.Current();
  if (!head.enabled || !mode) return std::nullopt;
  const double scale = head.scale > 0 ? head.scale : 1.0;
  int w = static_cast<int>(std::lround(mode->width / scale));
  int h = static_cast<int>(std::lround(mode->height / scale));
  if (head.sideways) std::swap(w, h);
  return LogicalSize{w, h};
}

std::optional<std::size_t> PrimaryHead(const std::vector<OutputHead>& heads) {
  for (std::size_t i = 0; i < heads.size(); ++i)
    if (heads[i].enabled && heads[i].primary) return i;
  for (std::size_t i = 0; i < heads.size(); ++i)
    if (heads[i].enabled && heads[i].x == 0 && heads[i].y == 0) return i;
  for (std::size_t i = 0; i < heads.size(); ++i)
    if (heads[i].enabled) return i;
  return std::nullopt;
}

namespace {

bool ModeShows(const OutputHead& head, const OutputMode& mode, const ModeWanted& wanted) {
  const int w = head.sideways ? mode.height : mode.width;
  const int h = head.sideways ? mode.width : mode.height;
  if (w != wanted.width || h != wanted.height) return false;
  if (wanted.refreshHz <= 1) return true;
  return static_cast<int>(std::lround(mode.refreshMilliHz / 1000.0)) == wanted.refreshHz;
}

}  // namespace

std::optional<std::size_t> FindOfferedMode(const OutputHead& head, const ModeWanted& wanted) {
  if (const OutputMode* current = head.Current(); current && ModeShows(head, *current, wanted)) return head.currentMode;
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < head.modes.size(); ++i) {
    const OutputMode& m = head.modes[i];
    if (!ModeShows(head, m, wanted)) continue;
    if (!best || (m.preferred && !head.modes[*best].preferred) ||
        (m.preferred == head.modes[*best].preferred && m.refreshMilliHz > head.modes[*best].refreshMilliHz))
      best = i;
  }
  return best;
}

bool ShowsMode(const OutputHead& head, const ModeWanted& wanted) {
  const OutputMode* current = head.Current();
  return head.enabled && current && ModeShows(head, *current, wanted);
}

DisplaySession ChooseDisplaySession(const char* waylandDisplay, const char* sessionType) {
  if (waylandDisplay && *waylandDisplay) return DisplaySession::Wayland;
  if (sessionType && std::strcmp(sessionType, "wayland") == 0) return DisplaySession::Wayland;
  return DisplaySession::X11;
}

OutputInterface ChooseOutputInterface(const OfferedInterfaces& offered) {
  if (offered.wlrootsOutputManager) return OutputInterface::Wlroots;
  if (offered.kdeOutputManagement) return OutputInterface::Kde;
  if (offered.mutterDisplayConfig) return OutputInterface::Mutter;
  return OutputInterface::Unavailable;
}

}  // namespace plat::desk
