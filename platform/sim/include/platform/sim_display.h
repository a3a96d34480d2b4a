#pragma once
// The simulated display-mode service, as tests script and inspect it.
#include <optional>
#include <vector>

#include "platform/display.h"

namespace sim {

struct DisplayChangeRecord {
  std::optional<plat::DEVMODEA> mode;  // nullopt when the call passed no record
  plat::DWORD flags = 0;
};

// The results of the next ChangeDisplaySettingsA calls, one per call in order; when they are used
// up the calls succeed. Any value may be scripted, including ones Windows never returns.
void SetDisplayChangeResults(std::vector<plat::LONG> results);

// How long the desktop takes to answer each following ChangeDisplaySettingsA call, as a Wayland
// compositor answers asynchronously; nullopt: it never answers. The call runs the program's loop
// meanwhile and fails once its deadline has passed. 0 (the default) answers at once.
void SetDisplayAnswerDelay(std::optional<plat::DWORD> delayMs);

// Every ChangeDisplaySettingsA call since Reset, oldest first, with the whole record as passed.
std::vector<DisplayChangeRecord> DisplayChanges();

}  // namespace sim
