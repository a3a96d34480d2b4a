#pragma once
// The output configuration interfaces of the Wayland desktops, each behind desk::OutputConfigurator.
#include <memory>

#include "platform/linux/WaylandConnection.h"
#include "platform/shared/OutputModeChange.h"

namespace plat::wl {

// wlroots compositors (sway, Hyprland, labwc, river...): zwlr_output_manager_v1. Null when the
// compositor does not offer it.
std::unique_ptr<desk::OutputConfigurator> OpenWlrootsOutputs(Connection& connection);

}  // namespace plat::wl
