#pragma once
// The display-mode service of a Wayland session: the compositor's own output configuration,
// chosen on first use by what the desktop offers. On an X11 session there is none, and XRandR
// serves as before.
#include <optional>

#include "platform/shared/OutputModeChange.h"

namespace plat::wl {

struct SessionOutputs {
  bool wayland = false;
  desk::OutputConfigurator* outputs = nullptr;  // null on a Wayland desktop that offers none
};

SessionOutputs SessionDisplayService();

// On a Wayland desktop with an output configuration interface: where its primary output stands and
// the size it covers; nullopt elsewhere or when the compositor did not say in time.
std::optional<desk::LogicalArea> PrimaryOutputArea();

}  // namespace plat::wl
