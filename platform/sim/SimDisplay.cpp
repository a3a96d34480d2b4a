// The sim display: a screen whose size tests set, and a mode service that records every request
// and answers what the test scripted. A success resizes the screen, as a real switch would.
#include "platform/display.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim_display.h"

using sim::detail::TheDesktop;

namespace plat {

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
  auto& d = TheDesktop();
  std::lock_guard g(d.lock);
  d.displayChanges.push_back({mode ? std::optional(*mode) : std::nullopt, flags});
  LONG result = DISP_CHANGE_SUCCESSFUL;
  if (!d.displayResults.empty()) {
    result = d.displayResults.front();
    d.displayResults.pop_front();
  }
  constexpr DWORD size = DM_PELSWIDTH | DM_PELSHEIGHT;
  if (result == DISP_CHANGE_SUCCESSFUL && mode && (mode->dmFields & size) == size) {
    d.screenWidth = static_cast<int>(mode->dmPelsWidth);
    d.screenHeight = static_cast<int>(mode->dmPelsHeight);
  }
  return result;
}

int GetSystemMetrics(int index) {
  std::lock_guard g(TheDesktop().lock);
  switch (index) {
    case SM_CXSCREEN: return TheDesktop().screenWidth;
    case SM_CYSCREEN: return TheDesktop().screenHeight;
    default: return 0;
  }
}

}  // namespace plat

namespace sim {

void SetDisplayChangeResults(std::vector<plat::LONG> results) {
  std::lock_guard g(TheDesktop().lock);
  TheDesktop().displayResults.assign(results.begin(), results.end());
}

std::vector<DisplayChangeRecord> DisplayChanges() {
  std::lock_guard g(TheDesktop().lock);
  return TheDesktop().displayChanges;
}

}  // namespace sim
